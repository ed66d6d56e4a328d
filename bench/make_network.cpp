// A level network of synthetic field files for the end-to-end benchmark:
// junction marks on a grid, one run along each grid edge (rows first, then
// columns, until there are RUNS runs), each run a generated field file of
// SETUPS setups. The rod on each run's last foresight is moved so that the
// run carries the difference between its junctions' elevations plus the
// generator's pointing noise: loops close as a crew's would. Two corners are
// fixed and the middle mark weighted.
//
//   quarrow-make-network FOLDER RUNS SETUPS

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "bench/field_file_generator.h"

namespace {

std::string JunctionName(std::int64_t node) { return "J-" + std::to_string(node); }

double JunctionElevation(std::int64_t node) {
  return 150 + 10 * std::sin(0.37 * static_cast<double>(node));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: quarrow-make-network FOLDER RUNS SETUPS\n");
    return 2;
  }
  const std::string folder = argv[1];
  const std::int64_t runs = std::stoll(argv[2]);
  const std::int64_t setups = std::stoll(argv[3]);
  // The largest grid whose rows and columns take no more than RUNS runs;
  // the runs left over run edges of it a second time, spread over the grid,
  // as a crew reruns a line. So every junction is reached by two runs or
  // more and every run is checked by a loop: a grid cut short would leave
  // chains hanging from its edge that nothing checks.
  std::int64_t side = 2;
  while (2 * (side + 1) * side <= runs) ++side;

  std::int64_t made = 0;
  const auto make = [&](std::int64_t from, std::int64_t to) {
    quarrow::bench::BenchMarks marks;
    quarrow::bench::FieldFileOptions options;
    options.setups = setups;
    options.seed = static_cast<std::uint64_t>(made + 1);
    std::string text = quarrow::bench::FieldFileText(options, &marks);
    // The first backsight and the last foresight name the junctions.
    const std::size_t first_comma = text.find(',');
    const std::size_t second_comma = text.find(',', first_comma + 1);
    text.replace(first_comma + 1, second_comma - first_comma - 1, JunctionName(from));
    const std::size_t last_line = text.rfind("\r\n", text.size() - 3) + 2;
    const std::size_t name_start = text.find(',', last_line) + 1;
    const std::size_t name_end = text.find(',', name_start);
    text.replace(name_start, name_end - name_start, JunctionName(to));
    const std::size_t rod_start = text.rfind(',') + 1;
    const double rod = std::stod(text.substr(rod_start));
    const double shift =
        (marks.end_elev - marks.begin_elev) - (JunctionElevation(to) - JunctionElevation(from));
    char rod_text[32];
    std::snprintf(rod_text, sizeof rod_text, "%.3f\r\n", rod + shift);
    text.replace(rod_start, std::string::npos, rod_text);
    char name[32];
    std::snprintf(name, sizeof name, "/run-%05lld.txt", static_cast<long long>(made));
    std::ofstream(folder + name, std::ios::binary) << text;
    ++made;
  };
  std::vector<std::pair<std::int64_t, std::int64_t>> edges;
  for (std::int64_t row = 0; row < side; ++row) {
    for (std::int64_t column = 0; column + 1 < side; ++column)
      edges.emplace_back(row * side + column, row * side + column + 1);
  }
  for (std::int64_t column = 0; column < side; ++column) {
    for (std::int64_t row = 0; row + 1 < side; ++row)
      edges.emplace_back(row * side + column, (row + 1) * side + column);
  }
  for (const auto& [from, to] : edges) make(from, to);
  const auto edge_count = static_cast<std::int64_t>(edges.size());
  const std::int64_t reruns = runs - edge_count;
  for (std::int64_t rerun = 0; rerun < reruns; ++rerun) {
    const auto& [from, to] = edges[rerun * edge_count / reruns % edge_count];
    make(from, to);
  }
  const std::int64_t middle = (side / 2) * side + side / 2;
  std::ofstream marks(folder + "/marks.csv", std::ios::binary);
  marks << "name,elevation,standard_deviation\r\n";
  char line[96];
  for (const std::int64_t node : {std::int64_t{0}, side * side - 1}) {
    std::snprintf(line, sizeof line, "%s,%.4f\r\n", JunctionName(node).c_str(),
                  JunctionElevation(node));
    marks << line;
  }
  std::snprintf(line, sizeof line, "%s,%.4f,0.020\r\n", JunctionName(middle).c_str(),
                JunctionElevation(middle));
  marks << line;
  // The runs and marks of one connected network leave runs - marks + 1
  // independent loops.
  std::printf("%lld runs of %lld setups on a %lld x %lld grid, %lld loops, in %s\n",
              static_cast<long long>(made), static_cast<long long>(setups),
              static_cast<long long>(side), static_cast<long long>(side),
              static_cast<long long>(made - side * side + 1), folder.c_str());
  return 0;
}
