#include "bench/field_file_generator.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace quarrow::bench {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::size_t kPieceSize = 1 << 16;
constexpr double kFeetPerMetre = 1 / kMetresPerFoot;

// splitmix64: small, fast, and the same on every compiler, unlike the
// standard library's distributions.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [low, high).
  double Uniform(double low, double high) {
    return low + (high - low) * static_cast<double>(Next() >> 11) * 0x1.0p-53;
  }
  // Uniform in [0, count).
  int Below(int count) { return static_cast<int>(Next() % static_cast<std::uint64_t>(count)); }
  bool OneIn(int count) { return Below(count) == 0; }

 private:
  std::uint64_t state_;
};

constexpr std::array<std::string_view, 10> kSideShotKinds = {
    "CULV INV ", "MH RIM ", "FFE ",       "TOP CURB ", "EP ",
    "CL RD ",    "GUTTER ", "WEIR CREST", "BRIDGE DK", "TBM SPIKE ",
};
constexpr std::array<std::string_view, 6> kStreets = {"OAK ST",   "MILL RD", "ELM AVE",
                                                      "RIVER RD", "2ND ST",  "HOLLOW LN"};

class Writer {
 public:
  explicit Writer(const std::function<void(std::string_view)>& write) : write_(write) {
    text_.reserve(kPieceSize + 256);
  }
  ~Writer() { Flush(); }

  Writer& operator<<(std::string_view s) {
    text_ += s;
    return *this;
  }
  Writer& operator<<(char c) {
    text_ += c;
    return *this;
  }
  Writer& Integer(std::int64_t value, int min_digits = 1) {
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    for (auto n = end - digits; n < min_digits; ++n) text_ += '0';
    text_.append(digits, end);
    return *this;
  }
  Writer& Fixed(double value, int decimals) {
    char digits[64];
    auto end =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals)
            .ptr;
    text_.append(digits, end);
    return *this;
  }
  void EndLine() {
    text_ += "\r\n";
    if (text_.size() >= kPieceSize) Flush();
  }

 private:
  void Flush() {
    if (!text_.empty()) write_(text_);
    text_.clear();
  }
  const std::function<void(std::string_view)>& write_;
  std::string text_;
};

class RunMaker {
 public:
  RunMaker(const FieldFileOptions& options, Writer& out)
      : options_(options),
        out_(out),
        random_(options.seed),
        unit_(options.units == Units::kFeet ? kFeetPerMetre : 1) {}

  BenchMarks Make() {
    if (options_.degree_mark == '\xf8') {
      out_ << "Job: Synthetic run " << Seed() << ",,,,";
      out_.EndLine();
      out_ << "Point,Name,Zenith,Slope Dist,Rod Ht";
      out_.EndLine();
    }
    const char letter = static_cast<char>('A' + random_.Below(26));
    const int number = 100 + random_.Below(900);
    const std::string first = "BM " + std::string(1, letter) + "-" + std::to_string(number);
    const std::string last = "BM " + std::string(1, letter) + "-" + std::to_string(number + 1);

    BenchMarks marks;
    // Published elevations are to the thousandth of the unit.
    marks.begin_elev = std::round(random_.Uniform(20, 400) * unit_ * 1000) / 1000;
    ground_ = base_ = marks.begin_elev / unit_;
    std::string back_name = first;
    std::string ahead_name;
    for (std::int64_t setup = 1; setup <= options_.setups; ++setup) {
      ahead_name = setup == options_.setups ? last : "TP" + std::to_string(setup);
      Setup(setup, back_name, ahead_name);
      back_name.swap(ahead_name);
    }
    marks.end_elev = std::round(ground_ * unit_ * 1000) / 1000;
    return marks;
  }

 private:
  std::string Seed() const { return std::to_string(options_.seed); }

  // One instrument setup: backsight, side shots, turning point. Elevations
  // here are in metres; the unit only changes what is written.
  void Setup(std::int64_t setup, const std::string& back_name, const std::string& ahead_name) {
    // The grade drifts slowly, as a road does over rolling ground, and the
    // ground keeps returning towards where the run began.
    const double homeward = (base_ - ground_) / 2000;
    grade_ = std::clamp(0.8 * grade_ + 0.2 * homeward + random_.Uniform(-0.01, 0.01), -0.06, 0.06);
    const double back_distance = random_.Uniform(20, 75);
    // The crew paces the foresight to keep the run's totals balanced.
    const double ahead_distance =
        back_distance + std::clamp(imbalance_ * 0.5, -4.0, 4.0) + random_.Uniform(-3, 3);
    imbalance_ += back_distance - ahead_distance;

    const double back_ground = ground_;
    const double ahead_ground = ground_ + grade_ * (back_distance + ahead_distance);
    const double instrument = back_ground + grade_ * back_distance + random_.Uniform(1.45, 1.75);
    const double rod = options_.units == Units::kFeet ? 5.0 / kFeetPerMetre : RodHeight();

    Sight(setup, back_name, back_distance, back_ground + rod - instrument, rod);
    if (random_.OneIn(3)) {
      const int shots = 1 + random_.Below(3);
      for (int shot = 0; shot < shots; ++shot) {
        const double ground = instrument - 1.6 + random_.Uniform(-2.5, 1.0);
        const double side_rod = options_.units == Units::kFeet ? 6.5 / kFeetPerMetre : 2.0;
        Sight(setup, SideShotName(setup), random_.Uniform(8, 60), ground + side_rod - instrument,
              side_rod);
      }
    }
    Sight(setup, ahead_name, ahead_distance, ahead_ground + rod - instrument, rod);
    ground_ = ahead_ground;
  }

  double RodHeight() {
    static constexpr std::array<double, 4> kRods = {1.500, 1.500, 1.800, 2.000};
    return kRods[static_cast<std::size_t>(random_.Below(4))];
  }

  std::string SideShotName(std::int64_t setup) {
    const std::string_view kind = kSideShotKinds[static_cast<std::size_t>(random_.Below(10))];
    std::string name(kind);
    if (kind.back() != ' ') return name;
    if (kind == "FFE ") {
      return name + std::to_string(100 + random_.Below(1900)) + " " +
             std::string(kStreets[static_cast<std::size_t>(random_.Below(6))]);
    }
    // A station along the road: hundreds of feet or metres plus the rest.
    const std::int64_t station = setup * 2 + random_.Below(2);
    return name + std::to_string(station) + "+" + (random_.OneIn(2) ? "00" : "50");
  }

  // One observation line: the prism stands `rise` above the instrument's
  // axis at `distance` horizontally.
  void Sight(std::int64_t setup, const std::string& name, double distance, double rise,
             double rod) {
    const double slope = std::sqrt(distance * distance + rise * rise);
    // A few seconds of pointing error, roughly normal.
    const double noise = random_.Uniform(-1.5, 1.5) + random_.Uniform(-1.5, 1.5);
    const double zenith_seconds = (90 - std::atan2(rise, distance) * 180 / kPi) * 3600 + noise;
    const bool tenths = random_.OneIn(10);
    const std::int64_t tenth_seconds =
        tenths ? std::llround(zenith_seconds * 10) : std::llround(zenith_seconds) * 10;

    if (options_.degree_mark == '\xf8') {
      out_.Integer(setup, 2);
    } else {
      out_.Integer(setup);
    }
    out_ << ',' << name << ',';
    out_.Integer(tenth_seconds / 36000) << options_.degree_mark;
    out_.Integer(tenth_seconds / 600 % 60, 2) << '\'';
    out_.Integer(tenth_seconds / 10 % 60, 2);
    if (tenths) out_ << '.' << static_cast<char>('0' + tenth_seconds % 10);
    const int decimals = options_.units == Units::kFeet ? 2 : 3;
    out_ << ',';
    out_.Fixed(slope * unit_, decimals) << ',';
    out_.Fixed(rod * unit_, decimals);
    out_.EndLine();
  }

  const FieldFileOptions& options_;
  Writer& out_;
  Random random_;
  double unit_;
  double ground_ = 0;     // elevation of the point behind, metres
  double base_ = 0;       // elevation of the beginning bench mark, metres
  double grade_ = 0;      // rise per metre along the run
  double imbalance_ = 0;  // backsight minus foresight distance so far, metres
};

}  // namespace

BenchMarks GenerateFieldFile(const FieldFileOptions& options,
                             const std::function<void(std::string_view)>& write) {
  Writer out(write);
  return RunMaker(options, out).Make();
}

std::string FieldFileText(const FieldFileOptions& options, BenchMarks* marks) {
  std::string text;
  const BenchMarks made =
      GenerateFieldFile(options, [&text](std::string_view piece) { text += piece; });
  if (marks) *marks = made;
  return text;
}

}  // namespace quarrow::bench
