// Whatever bytes arrive, quarrow-convert answers with a field file or a
// message: never a crash, a hang, a leak or undefined behaviour. The first
// byte chooses the options: its bits 0-2 the format (0 and 7 recognised,
// then JobXML, GSI, RW5, LandXML, SDR33, GTS-7 in SourceFormat's order),
// bits 3-4 the units (from the file, metric, feet; 3 from the file too),
// bit 7 --dos. The rest is the file.

#include <cstdint>
#include <string_view>

#include "convert/converter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  quarrow::ConvertOptions options;
  const int format = data[0] & 0x7;
  options.from = format < quarrow::kSourceFormatCount ? static_cast<quarrow::SourceFormat>(format)
                                                      : quarrow::SourceFormat::kRecognise;
  // Two bits choose the units: the file's own, metric or feet.
  switch ((data[0] >> 3 & 0x3) % 3) {
    case 1:
      options.units = quarrow::Units::kMetric;
      break;
    case 2:
      options.units = quarrow::Units::kFeet;
      break;
    default:
      break;
  }
  options.dos = (data[0] & 0x80) != 0;
  options.source_name = "fuzz.in";
  try {
    const quarrow::Conversion conversion = quarrow::Convert(
        std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), options);
    // A field file always starts with its source line and ends a line.
    if (conversion.text.bytes.empty() || conversion.text.bytes.back() != '\n') __builtin_trap();
    (void)quarrow::SummaryText(conversion);
  } catch (const quarrow::ConvertError&) {
  }
  return 0;
}
