// The pieces the exports are made of: quoting, names in UTF-8, JSON numbers,
// and the FGCS orders at and just past each of their limits.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/fgcs_orders.h"
#include "exports/csv_export.h"
#include "exports/json_export.h"
#include "exports/name_encoding.h"
#include "tests/support/fake_platform.h"

namespace quarrow {
namespace {

TEST(CsvField, QuotesOnlyWhatNeedsIt) {
  const struct {
    std::string field, csv;
  } rows[] = {
      {"TP1", "TP1"},
      {"BM A-112", "BM A-112"},
      {"A,B", "\"A,B\""},
      {"6\" pipe", "\"6\"\" pipe\""},
      {"two\r\nlines", "\"two\r\nlines\""},
      {"", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.field);
    EXPECT_EQ(CsvField(row.field), row.csv);
  }
}

TEST(ToUtf8, EachCodePageAndUtf8PassingThrough) {
  const struct {
    std::string bytes;
    NameEncoding encoding;
    std::string utf8;
  } rows[] = {
      {"BM\xB0"
       "1",
       NameEncoding::kWindows1252,
       "BM\xC2\xB0"
       "1"},
      {"Stra\xDF"
       "e \x80",
       NameEncoding::kWindows1252,
       "Stra\xC3\x9F"
       "e \xE2\x82\xAC"},
      {"\x81", NameEncoding::kWindows1252, "\xC2\x81"},  // unassigned, kept
      {"K\x94ln \xF8", NameEncoding::kCodePage437, "K\xC3\xB6ln \xC2\xB0"},
      {"\xC9", NameEncoding::kCodePage437, "\xE2\x95\x94"},
      {"Z\xC3\xBCrich", NameEncoding::kUtf8, "Z\xC3\xBCrich"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.utf8);
    EXPECT_EQ(ToUtf8(row.bytes, row.encoding), row.utf8);
    EXPECT_TRUE(IsValidUtf8(ToUtf8(row.bytes, row.encoding)));
  }
}

TEST(DetectNameEncoding, Utf8OnlyWithItsDegreeSignAndValidThroughout) {
  const struct {
    const char* what;
    std::string file;
    char mark;
    NameEncoding expected;
  } rows[] = {
      {"Windows code page", FieldFile({"1,BM1,89~58'30,52.114,1.500"}), '\xB0',
       NameEncoding::kWindows1252},
      {"saved as UTF-8",
       "\xEF\xBB\xBF"
       "1,Br\xC3\xBC"
       "cke,89\xC2\xB0"
       "58'30,52.1,1.5\r\n",
       '\xB0', NameEncoding::kUtf8},
      {"UTF-8 degree sign, a stray byte",
       "1,Br\xFC"
       "cke,89\xC2\xB0"
       "58'30,52.1,1.5\r\n",
       '\xB0', NameEncoding::kWindows1252},
      {"DOS code page", FieldFile({"1,BM1,89~58'30,52.114,1.500"}, '\xF8'), '\xF8',
       NameEncoding::kCodePage437},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    FakePlatform platform;
    platform.files["run.txt"] = row.file;
    EXPECT_EQ(DetectNameEncoding(platform, "run.txt", row.mark), row.expected);
  }
}

TEST(JsonNumber, ShortestRoundTrip) {
  EXPECT_EQ(JsonNumber(100), "100");
  EXPECT_EQ(JsonNumber(99.91), "99.91");
  EXPECT_EQ(JsonNumber(0.1 + 0.2), "0.30000000000000004");
  EXPECT_EQ(JsonNumber(-0.002), "-0.002");
  EXPECT_EQ(JsonString("a\"b\\c\x01"), "\"a\\\"b\\\\c\\u0001\"");
}

// Each order's limits in metres; a run in feet is compared through the
// international foot.
TEST(CheckOrders, EachLimitMetAtItsValueAndMissedJustPast) {
  struct Limits {
    const char* order;
    double closure_mm, setup, total, sight;  // metres
  } limits[] = {
      {"first-i", 3, 2, 4, 50},
      {"first-ii", 4, 5, 10, 60},
      {"second-i", 6, 5, 10, 60},
      {"second-ii", 8, 10, 10, 70},
  };
  for (const bool feet : {false, true}) {
    const double unit = feet ? 1 / 0.3048 : 1;
    // 4 km: the root is exactly 2.
    RunMeasures run;
    run.units = feet ? Units::kFeet : Units::kMetric;
    run.run_length = 4000 * unit;
    for (std::size_t i = 0; i < std::size(limits); ++i) {
      const Limits& limit = limits[i];
      SCOPED_TRACE(std::string(limit.order) + (feet ? " feet" : " metres"));
      const OrderCheck at = CheckOrders(run)[i];
      ASSERT_EQ(at.order, limit.order);
      const auto check = [&](auto field, double limit_value, auto meets) {
        RunMeasures probe = run;
        probe.*field = limit_value;
        EXPECT_TRUE(CheckOrders(probe)[i].*meets);
        probe.*field = std::nextafter(limit_value, 1e9);
        EXPECT_FALSE(CheckOrders(probe)[i].*meets);
        EXPECT_FALSE(CheckOrders(probe)[i].meets);
      };
      EXPECT_DOUBLE_EQ(at.allowed_misclosure, limit.closure_mm / 1000 * 2 * unit);
      check(&RunMeasures::misclosure, at.allowed_misclosure, &OrderCheck::meets_misclosure);
      check(&RunMeasures::max_setup_imbalance, limit.setup * unit,
            &OrderCheck::meets_setup_balance);
      check(&RunMeasures::total_imbalance, limit.total * unit, &OrderCheck::meets_total_balance);
      check(&RunMeasures::max_sight, limit.sight * unit, &OrderCheck::meets_sight);
      EXPECT_TRUE(at.meets);
    }
  }
}

TEST(CheckOrders, ThirdIsTheReportsOwnVerdictPlusTheSightTest) {
  // Far outside every other order's limits, and yet third order: only the
  // report's own tests and the sight decide it.
  RunMeasures run;
  run.units = Units::kFeet;
  run.run_length = 5200;
  run.misclosure = 0.05;
  run.max_setup_imbalance = 33;
  run.total_imbalance = 33;
  run.max_sight = 90 / 0.3048;
  OrderCheck third = CheckOrders(run).back();
  EXPECT_EQ(third.order, "third");
  EXPECT_TRUE(third.meets);
  EXPECT_DOUBLE_EQ(third.allowed_misclosure, 0.05);
  EXPECT_EQ(third.max_setup_imbalance, 33);
  EXPECT_EQ(HighestOrderMet(CheckOrders(run)), std::optional<std::string_view>("third"));
  run.third_order.bad_turns = 1;  // a turn over the report's limit
  EXPECT_FALSE(CheckOrders(run).back().meets_setup_balance);
  run.third_order = {.run_unbalanced = true};
  EXPECT_FALSE(CheckOrders(run).back().meets_total_balance);
  run.third_order = {.misclosure_exceeds = true};
  EXPECT_FALSE(CheckOrders(run).back().meets_misclosure);
  run.third_order = {};
  run.max_sight = std::nextafter(90 / 0.3048, 1e9);  // advisory, but not met
  third = CheckOrders(run).back();
  EXPECT_TRUE(third.meets_misclosure && third.meets_setup_balance && third.meets_total_balance);
  EXPECT_FALSE(third.meets);
  EXPECT_EQ(HighestOrderMet(CheckOrders(run)), std::nullopt);
}

}  // namespace
}  // namespace quarrow
