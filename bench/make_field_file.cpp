// quarrow-make-field-file: writes a synthetic field file for the benchmarks
// and prints the tool options that adjust it:
//   --begin ELEV --end ELEV --units feet|metric

#include <cstdio>
#include <cstring>
#include <string>

#include "bench/field_file_generator.h"

namespace {

int Usage() {
  std::fputs(
      "usage: quarrow-make-field-file --setups N [--seed S] [--dos] [--feet] OUTPUT\n"
      "  --dos   degree sign byte 248 and a job header, as the older DOS export\n"
      "  --feet  English units instead of metres\n",
      stderr);
  return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
  quarrow::bench::FieldFileOptions options;
  const char* output = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--setups" && i + 1 < argc) {
      options.setups = std::stoll(argv[++i]);
    } else if (arg == "--seed" && i + 1 < argc) {
      options.seed = std::stoull(argv[++i]);
    } else if (arg == "--dos") {
      options.degree_mark = '\xf8';
    } else if (arg == "--feet") {
      options.units = quarrow::Units::kFeet;
    } else if (!output && arg[0] != '-') {
      output = argv[i];
    } else {
      return Usage();
    }
  }
  if (!output || options.setups < 1) return Usage();

  std::FILE* file = std::fopen(output, "wb");
  if (!file) {
    std::perror(output);
    return 1;
  }
  bool ok = true;
  const quarrow::bench::BenchMarks marks =
      quarrow::bench::GenerateFieldFile(options, [&](std::string_view piece) {
        ok = ok && std::fwrite(piece.data(), 1, piece.size(), file) == piece.size();
      });
  ok = std::fclose(file) == 0 && ok;
  if (!ok) {
    std::perror(output);
    return 1;
  }
  std::printf("--begin %.3f --end %.3f --units %s\n", marks.begin_elev, marks.end_elev,
              std::string(quarrow::UnitsName(options.units)).c_str());
  return 0;
}
