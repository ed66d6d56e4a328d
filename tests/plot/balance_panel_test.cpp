#include "plot/balance_panel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace quarrow {
namespace {

// Setups of 100 along the run with the BS - FS given.
ProfileData Setups(const std::vector<double>& differences, double max_diff) {
  ProfileData data;
  data.max_diff = max_diff;
  for (std::size_t i = 0; i < differences.size(); ++i) {
    data.setup_end.push_back(100.0 * static_cast<double>(i + 1));
    data.setup_difference.push_back(differences[i]);
  }
  return data;
}

// The bars, the count in the key, the flags and the run's dot all judge by
// one rule: strictly greater than the limit in size is over.
TEST(ComputeBalancePanel, OverMeansStrictlyGreaterEverywhere) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* case_name;
    std::vector<double> differences;
    double max_diff;
    std::vector<bool> over;  // per bar
    bool run_over;
  } cases[] = {
      {"at the limit either way", {10, -10, 3}, 10, {false, false, false}, false},
      {"just beyond", {10.001, -10.001, 0}, 10, {true, true, false}, false},
      {"the run at its limit", {6, 4}, 10, {false, false}, false},
      {"the run beyond", {6, 4.5}, 10, {false, false}, true},
      {"a limit that is not a number", {0, 1, -2}, nan, {false, true, true}, true},
      {"a negative limit", {4, 6}, -5, {false, true}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.case_name);
    const ProfileData data = Setups(c.differences, c.max_diff);
    const Scale sx{0, 100.0 * static_cast<double>(c.differences.size()), kBalancePanel.left(),
                   kBalancePanel.right()};
    const BalancePanel panel = ComputeBalancePanel(data, sx);
    ASSERT_EQ(panel.bars.size(), c.over.size());
    for (std::size_t i = 0; i < c.over.size(); ++i) EXPECT_EQ(panel.bars[i].over, c.over[i]) << i;
    const auto over = static_cast<std::size_t>(std::count(c.over.begin(), c.over.end(), true));
    EXPECT_EQ(panel.over_count, over);
    EXPECT_EQ(panel.flags.size(), over);
    EXPECT_EQ(panel.run_over, c.run_over);
  }
}

// Past a bar per setup the panel draws columns; their count of setups over
// the limit stays the one the key gives.
TEST(ComputeBalancePanel, ColumnsOfALongRunKeepTheCount) {
  std::vector<double> differences(20000, 1.0);
  for (std::size_t i = 0; i < differences.size(); i += 1000) differences[i] = 40;
  const ProfileData data = Setups(differences, 33);
  const Scale sx{0, 100.0 * 20000, kBalancePanel.left(), kBalancePanel.right()};
  const BalancePanel panel = ComputeBalancePanel(data, sx);
  EXPECT_EQ(panel.over_count, 20u);
  EXPECT_LE(panel.bars.size(), static_cast<std::size_t>(kBalancePanel.width()) + 2);
  EXPECT_EQ(std::count_if(panel.bars.begin(), panel.bars.end(),
                          [](const BalanceBar& bar) { return bar.over; }),
            20);
  EXPECT_EQ(panel.flags.size(), 20u);
}

}  // namespace
}  // namespace quarrow
