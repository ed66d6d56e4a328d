#include "plot/network_layout.h"

#include <graphviz/gvc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <mutex>
#include <numbers>
#include <string>
#include <unordered_map>

namespace quarrow {

namespace {

// Up to this many marks the stress layout (neato) draws best; beyond it its
// time grows with the square of the marks, and the multilevel one (sfdp)
// takes over.
constexpr std::size_t kStressLayoutLimit = 500;
// Beyond this many marks Graphviz's removal of overlaps takes minutes;
// SeparatePoints alone then keeps the marks apart.
constexpr std::size_t kOverlapRemovalLimit = 2000;

constexpr double kGoldenAngle = 2.399963229728653;  // radians

// Each node's neighbours, edges out of range or to the node itself left out.
std::vector<std::vector<std::size_t>> Neighbours(std::size_t count,
                                                 const std::vector<LayoutEdge>& edges) {
  std::vector<std::vector<std::size_t>> neighbours(count);
  for (const LayoutEdge& edge : edges) {
    if (edge.a >= count || edge.b >= count || edge.a == edge.b) continue;
    neighbours[edge.a].push_back(edge.b);
    neighbours[edge.b].push_back(edge.a);
  }
  return neighbours;
}

std::string Inches(double pixels) {
  // Graphviz sizes nodes in inches of 72 points; the canvas pixel is a point.
  return std::to_string(std::max(pixels, 1.0) / 72);
}

char* Text(const char* text) { return const_cast<char*>(text); }

// Graphviz's graph, freed however the layout ends. Graphviz reports what it
// dislikes on stderr meanwhile; the picture is ours to judge, so it is quiet.
struct GraphvizGraph {
  agerrlevel_t reporting = agseterr(AGMAX);
  GVC_t* context = gvContext();
  Agraph_t* graph = nullptr;
  bool laid_out = false;
  ~GraphvizGraph() {
    if (laid_out) gvFreeLayout(context, graph);
    if (graph != nullptr) agclose(graph);
    if (context != nullptr) gvFreeContext(context);
    agseterr(reporting);
  }
  void Default(int kind, const char* name, const std::string& value) {
    agattr(graph, kind, Text(name), Text(value.c_str()));
  }
};

// Lays out `nodes` (none pinned) by Graphviz's spring layouts, node boxes
// kept apart. False when Graphviz cannot.
bool GraphvizLayout(const std::vector<LayoutNode>& nodes, const std::vector<LayoutEdge>& edges,
                    std::vector<QPointF>& at) {
  // Graphviz keeps its error level, its plugins' state and the layouts'
  // working memory in globals: two layouts at once (the office draws on a
  // pool of threads) corrupt each other. One at a time, graph freed inside.
  static std::mutex graphviz;
  const std::lock_guard<std::mutex> one_at_a_time(graphviz);
  GraphvizGraph gv;
  if (gv.context == nullptr) return false;
  gv.graph = agopen(Text("network"), Agstrictundirected, nullptr);
  if (gv.graph == nullptr) return false;
  gv.Default(AGRAPH, "overlap", nodes.size() <= kOverlapRemovalLimit ? "prism" : "true");
  gv.Default(AGRAPH, "sep", "+8");
  gv.Default(AGRAPH, "splines", "false");
  gv.Default(AGRAPH, "start", "1");  // the same picture every time
  gv.Default(AGNODE, "shape", "box");
  gv.Default(AGNODE, "fixedsize", "true");
  gv.Default(AGNODE, "label", "");
  gv.Default(AGNODE, "width", "0.75");
  gv.Default(AGNODE, "height", "0.5");
  // An edge about as long as the widest name, so that names fit between.
  double length = 0;
  for (const LayoutNode& node : nodes) length = std::max(length, 1.2 * node.width);
  gv.Default(AGEDGE, "len", Inches(length));

  std::vector<Agnode_t*> graph_nodes(nodes.size());
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    Agnode_t* node = agnode(gv.graph, Text(("m" + std::to_string(i)).c_str()), 1);
    if (node == nullptr) return false;
    graph_nodes[i] = node;
    agset(node, Text("width"), Text(Inches(nodes[i].width).c_str()));
    agset(node, Text("height"), Text(Inches(nodes[i].height).c_str()));
  }
  for (const LayoutEdge& edge : edges) {
    if (edge.a >= nodes.size() || edge.b >= nodes.size() || edge.a == edge.b) continue;
    agedge(gv.graph, graph_nodes[edge.a], graph_nodes[edge.b], nullptr, 1);
  }
  gv.laid_out =
      gvLayout(gv.context, gv.graph, nodes.size() <= kStressLayoutLimit ? "neato" : "sfdp") == 0;
  if (!gv.laid_out) return false;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    at[i] = QPointF(ND_coord(graph_nodes[i]).x, ND_coord(graph_nodes[i]).y);
    if (!std::isfinite(at[i].x()) || !std::isfinite(at[i].y())) return false;
  }
  return true;
}

// Nodes without pins laid out by themselves: by Graphviz, or on a circle
// should Graphviz fail.
std::vector<QPointF> FreeLayout(const std::vector<LayoutNode>& nodes,
                                const std::vector<LayoutEdge>& edges) {
  std::vector<QPointF> at(nodes.size());
  if (nodes.size() <= 1 || GraphvizLayout(nodes, edges, at)) return at;
  double radius = 0;
  for (const LayoutNode& node : nodes) radius += std::max(node.width, node.height);
  radius /= 2 * std::numbers::pi;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const double angle = 2 * std::numbers::pi * static_cast<double>(i) / nodes.size();
    at[i] = QPointF(radius * std::cos(angle), radius * std::sin(angle));
  }
  return at;
}

// The free nodes a pin reaches, placed among the pinned ones: each at the
// mean of its neighbours (a barycentric embedding, which puts a junction
// among the marks it is levelled to), except spurs, which no loop holds in
// place: they fan out from the mark they hang on. Unreached nodes stay none.
std::vector<std::optional<QPointF>> PlaceAmongPins(
    const std::vector<LayoutNode>& nodes, const std::vector<std::vector<std::size_t>>& neighbours) {
  const std::size_t count = nodes.size();
  std::vector<std::optional<QPointF>> at(count);
  std::vector<std::size_t> reached;
  for (std::size_t i = 0; i < count; ++i) {
    if (nodes[i].pinned) {
      at[i] = nodes[i].pinned;
      reached.push_back(i);
    }
  }
  for (std::size_t next = 0; next < reached.size(); ++next) {
    for (const std::size_t to : neighbours[reached[next]]) {
      if (at[to]) continue;
      at[to] = at[reached[next]];
      reached.push_back(to);
    }
  }

  // Spurs: free nodes peeled off while they have one neighbour left, each
  // hanging on that neighbour (its anchor).
  std::vector<std::size_t> degree(count);
  for (std::size_t i = 0; i < count; ++i) degree[i] = neighbours[i].size();
  std::vector<bool> spur(count, false);
  std::vector<std::size_t> anchor(count, count);
  std::vector<std::size_t> peeled;
  std::vector<std::size_t> leaves;
  for (const std::size_t i : reached) {
    if (!nodes[i].pinned && degree[i] <= 1) leaves.push_back(i);
  }
  while (!leaves.empty()) {
    const std::size_t i = leaves.back();
    leaves.pop_back();
    if (spur[i]) continue;
    spur[i] = true;
    peeled.push_back(i);
    for (const std::size_t j : neighbours[i]) {
      if (spur[j]) continue;
      anchor[i] = j;
      if (!nodes[j].pinned && --degree[j] <= 1) leaves.push_back(j);
    }
  }

  for (int round = 0; round < 300; ++round) {
    for (const std::size_t i : reached) {
      if (nodes[i].pinned || spur[i]) continue;
      QPointF sum(0, 0);
      std::size_t held = 0;
      for (const std::size_t j : neighbours[i]) {
        if (spur[j]) continue;
        sum += *at[j];
        ++held;
      }
      if (held > 0) at[i] = sum / static_cast<double>(held);
    }
  }

  // A spur's marks an edge apart, pointing away from the rest, the spurs of
  // one mark turned a little from each other. The last peeled hangs nearest
  // the network, so the spurs grow outwards in reverse.
  double length = 0;
  for (const LayoutNode& node : nodes) length = std::max(length, 1.5 * node.width);
  std::vector<bool> placed(count);
  for (std::size_t i = 0; i < count; ++i) placed[i] = at[i] && !spur[i];
  std::vector<int> turns(count, 0);
  for (auto spur_node = peeled.rbegin(); spur_node != peeled.rend(); ++spur_node) {
    const std::size_t i = *spur_node, on = anchor[i];
    if (on >= count || !placed[on]) continue;
    QPointF away(0, 0);
    for (const std::size_t j : neighbours[on]) {
      if (j != i && placed[j]) away += *at[on] - *at[j];
    }
    double direction = std::hypot(away.x(), away.y()) > 1e-9
                           ? std::atan2(away.y(), away.x())
                           : static_cast<double>(i) * kGoldenAngle;
    const int turn = turns[on]++;
    direction += (turn % 2 == 0 ? 1 : -1) * ((turn + 1) / 2) * 0.6;
    at[i] = *at[on] + QPointF(std::cos(direction), std::sin(direction)) * length;
    placed[i] = true;
  }
  return at;
}

// A direction of its own for each pair of points on one spot, so that a
// crowd on one spot spreads out evenly.
QPointF Apart(std::size_t i, std::size_t j) {
  const double angle = static_cast<double>(i * 7919 + j) * kGoldenAngle;
  return QPointF(std::cos(angle), std::sin(angle));
}

QPointF Inside(QPointF p, const QRectF& area) {
  return QPointF(std::clamp(p.x(), area.left(), area.right()),
                 std::clamp(p.y(), area.top(), area.bottom()));
}

}  // namespace

std::vector<QPointF> LayOutGraph(const std::vector<LayoutNode>& nodes,
                                 const std::vector<LayoutEdge>& edges) {
  const std::size_t count = nodes.size();
  if (std::none_of(nodes.begin(), nodes.end(),
                   [](const LayoutNode& node) { return node.pinned.has_value(); })) {
    return FreeLayout(nodes, edges);
  }
  const std::vector<std::optional<QPointF>> among = PlaceAmongPins(nodes, Neighbours(count, edges));
  std::vector<QPointF> at(count);
  for (std::size_t i = 0; i < count; ++i) at[i] = among[i].value_or(QPointF());

  // Marks no pin reaches, laid out by themselves and set to the right of
  // the rest, tops level.
  std::vector<std::size_t> apart;
  std::vector<std::size_t> index_of(count, count);
  std::vector<LayoutNode> free_nodes;
  for (std::size_t i = 0; i < count; ++i) {
    if (among[i]) continue;
    index_of[i] = free_nodes.size();
    apart.push_back(i);
    free_nodes.push_back({nodes[i].width, nodes[i].height, std::nullopt});
  }
  if (apart.empty()) return at;
  std::vector<LayoutEdge> free_edges;
  for (const LayoutEdge& edge : edges) {
    if (edge.a < count && edge.b < count && index_of[edge.a] < count && index_of[edge.b] < count) {
      free_edges.push_back({index_of[edge.a], index_of[edge.b]});
    }
  }
  const std::vector<QPointF> free_at = FreeLayout(free_nodes, free_edges);
  double right = -std::numeric_limits<double>::infinity(), top = right, widest = 0;
  for (std::size_t i = 0; i < count; ++i) {
    widest = std::max(widest, nodes[i].width);
    if (!among[i]) continue;
    right = std::max(right, at[i].x());
    top = std::max(top, at[i].y());
  }
  double free_left = std::numeric_limits<double>::infinity(), free_top = -free_left;
  for (const QPointF& p : free_at) {
    free_left = std::min(free_left, p.x());
    free_top = std::max(free_top, p.y());
  }
  const QPointF shift(right + 2 * widest - free_left, top - free_top);
  for (std::size_t k = 0; k < apart.size(); ++k) at[apart[k]] = free_at[k] + shift;
  return at;
}

void SeparatePoints(std::vector<QPointF>& points, const std::vector<bool>& movable,
                    const QRectF& area, double gap) {
  if (!(gap > 0) || points.size() < 2) return;
  auto cell_of = [gap](QPointF p) {
    return std::pair<std::int64_t, std::int64_t>(
        static_cast<std::int64_t>(std::floor(p.x() / gap)),
        static_cast<std::int64_t>(std::floor(p.y() / gap)));
  };
  auto key = [](std::int64_t x, std::int64_t y) { return (x << 32) ^ (y & 0xffffffff); };
  for (int round = 0; round < 60; ++round) {
    std::unordered_map<std::int64_t, std::vector<std::size_t>> cells;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const auto [x, y] = cell_of(points[i]);
      cells[key(x, y)].push_back(i);
    }
    bool moved = false;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const auto [cx, cy] = cell_of(points[i]);
      for (std::int64_t dx = -1; dx <= 1; ++dx) {
        for (std::int64_t dy = -1; dy <= 1; ++dy) {
          const auto found = cells.find(key(cx + dx, cy + dy));
          if (found == cells.end()) continue;
          for (const std::size_t j : found->second) {
            if (j <= i || (!movable[i] && !movable[j])) continue;
            const QPointF d = points[j] - points[i];
            const double distance = std::hypot(d.x(), d.y());
            if (distance >= gap) continue;
            const QPointF direction = distance > 1e-9 ? d / distance : Apart(i, j);
            const double push = gap - distance + 0.5;
            if (movable[i] && movable[j]) {
              points[i] = Inside(points[i] - direction * (push / 2), area);
              points[j] = Inside(points[j] + direction * (push / 2), area);
            } else if (movable[i]) {
              points[i] = Inside(points[i] - direction * push, area);
            } else {
              points[j] = Inside(points[j] + direction * push, area);
            }
            moved = true;
          }
        }
      }
    }
    if (!moved) return;
  }
}

}  // namespace quarrow
