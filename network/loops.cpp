#include "network/loops.h"

#include <algorithm>
#include <deque>

namespace quarrow {

namespace {

constexpr std::int64_t kNone = -1;
constexpr std::int64_t kToOrigin = -2;  // the tree edge from a fixed mark to the origin

}  // namespace

std::vector<NetworkLoop> FindLoops(const std::vector<NetworkMark>& marks,
                                   const std::vector<NetworkRun>& runs) {
  const auto mark_count = static_cast<std::int64_t>(marks.size());
  const std::int64_t origin = mark_count;
  const auto node_count = static_cast<std::size_t>(mark_count + 1);

  // Runs at each mark, as compressed adjacency lists.
  std::vector<std::int64_t> first(node_count + 1, 0);
  for (const NetworkRun& run : runs) {
    if (run.from == run.to) continue;
    ++first[static_cast<std::size_t>(run.from) + 1];
    ++first[static_cast<std::size_t>(run.to) + 1];
  }
  for (std::size_t n = 0; n < node_count; ++n) first[n + 1] += first[n];
  std::vector<std::int64_t> incident(static_cast<std::size_t>(first[node_count]));
  std::vector<std::int64_t> fill(first.begin(), first.end() - 1);
  for (std::size_t r = 0; r < runs.size(); ++r) {
    if (runs[r].from == runs[r].to) continue;
    incident[static_cast<std::size_t>(fill[static_cast<std::size_t>(runs[r].from)]++)] =
        static_cast<std::int64_t>(r);
    incident[static_cast<std::size_t>(fill[static_cast<std::size_t>(runs[r].to)]++)] =
        static_cast<std::int64_t>(r);
  }

  // Breadth first from the origin, then from any mark it did not reach (a
  // part of the network held only by weighted marks). `height` is the
  // observed difference summed along the tree from the part's root: the
  // origin stands at zero, so a fixed mark at its published elevation.
  std::vector<std::int64_t> parent(node_count, kNone);
  std::vector<std::int64_t> parent_run(node_count, kNone);
  std::vector<std::int64_t> depth(node_count, 0);
  std::vector<double> height(node_count, 0.0);
  std::vector<bool> reached(node_count, false);
  std::vector<bool> in_tree(runs.size(), false);
  std::deque<std::int64_t> queue;
  const auto visit = [&](std::int64_t node, std::int64_t from, std::int64_t run, double h) {
    const auto n = static_cast<std::size_t>(node);
    reached[n] = true;
    parent[n] = from;
    parent_run[n] = run;
    depth[n] = from == kNone ? 0 : depth[static_cast<std::size_t>(from)] + 1;
    height[n] = h;
    queue.push_back(node);
  };
  const auto grow = [&]() {
    while (!queue.empty()) {
      const std::int64_t node = queue.front();
      queue.pop_front();
      if (node == origin) continue;
      const auto n = static_cast<std::size_t>(node);
      for (std::int64_t i = first[n]; i < first[n + 1]; ++i) {
        const std::int64_t r = incident[static_cast<std::size_t>(i)];
        const NetworkRun& run = runs[static_cast<std::size_t>(r)];
        const bool forward = run.from == node;
        const std::int64_t other = forward ? run.to : run.from;
        if (reached[static_cast<std::size_t>(other)]) continue;
        in_tree[static_cast<std::size_t>(r)] = true;
        visit(other, node, r, height[n] + (forward ? run.difference : -run.difference));
      }
    }
  };
  reached[static_cast<std::size_t>(origin)] = true;
  for (std::int64_t m = 0; m < mark_count; ++m) {
    if (marks[static_cast<std::size_t>(m)].status == MarkStatus::kFixed) {
      visit(m, origin, kToOrigin, marks[static_cast<std::size_t>(m)].published);
    }
  }
  grow();
  for (std::int64_t m = 0; m < mark_count; ++m) {
    if (!reached[static_cast<std::size_t>(m)] &&
        first[static_cast<std::size_t>(m)] != first[static_cast<std::size_t>(m) + 1]) {
      visit(m, kNone, kNone, 0);
      grow();
    }
  }

  std::vector<NetworkLoop> loops;
  for (std::size_t r = 0; r < runs.size(); ++r) {
    const NetworkRun& run = runs[r];
    if (in_tree[r]) continue;
    NetworkLoop loop;
    if (run.from == run.to) {
      loop.steps.push_back({static_cast<std::int64_t>(r), true});
      loop.misclosure = run.difference;
      loops.push_back(std::move(loop));
      continue;
    }
    loop.misclosure = height[static_cast<std::size_t>(run.from)] + run.difference -
                      height[static_cast<std::size_t>(run.to)];
    // The loop runs down the tree from the common ancestor to the run's
    // beginning, along the run, and up from its end to the ancestor again.
    std::int64_t up = run.to;
    std::int64_t down = run.from;
    std::vector<LoopStep> ascent;
    std::vector<LoopStep> descent;
    std::int64_t up_last = up;
    std::int64_t down_last = down;
    while (up != down) {
      const bool climb_up =
          depth[static_cast<std::size_t>(up)] >= depth[static_cast<std::size_t>(down)];
      std::int64_t& node = climb_up ? up : down;
      const std::int64_t tree_run = parent_run[static_cast<std::size_t>(node)];
      if (tree_run >= 0) {
        // Climbing from the end: child to parent. Toward the beginning: the
        // loop goes parent to child, so those steps are reversed later.
        const bool from_child = runs[static_cast<std::size_t>(tree_run)].from == node;
        if (climb_up) {
          ascent.push_back({tree_run, from_child});
        } else {
          descent.push_back({tree_run, !from_child});
        }
      } else if (climb_up) {
        up_last = node;
      } else {
        down_last = node;
      }
      node = parent[static_cast<std::size_t>(node)];
    }
    if (up == origin) {
      loop.first_fixed = down_last;
      loop.last_fixed = up_last;
    }
    loop.steps.assign(descent.rbegin(), descent.rend());
    loop.steps.push_back({static_cast<std::int64_t>(r), true});
    loop.steps.insert(loop.steps.end(), ascent.begin(), ascent.end());
    loops.push_back(std::move(loop));
  }
  return loops;
}

}  // namespace quarrow
