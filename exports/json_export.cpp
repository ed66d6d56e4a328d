#include "exports/json_export.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "engine/fgcs_orders.h"
#include "engine/version.h"
#include "exports/csv_export.h"
#include "exports/json_writer.h"

namespace quarrow {

namespace {

std::string IsoDate(const CivilDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

// The lines of the failed-tests message, as the tool prints them.
std::string FailureLines(const std::string& message) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < message.size()) {
    std::size_t end = message.find("\r\n", start);
    if (end == std::string::npos) end = message.size();
    lines.push_back(JsonString(message.substr(start, end - start)));
    start = end + 2;
  }
  return JsonList(lines);
}

}  // namespace

void AppendJsonPointKeys(std::string& out, const RunPoint& point, NameEncoding encoding) {
  // Millions of points: the numbers go straight into the text, and the
  // names are converted only when they are not plain ASCII already.
  const auto text = [&out, encoding](std::string_view bytes) {
    const bool plain = std::all_of(bytes.begin(), bytes.end(), [](char c) {
      return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x80 &&
             c != '"' && c != '\\';
    });
    if (plain) {
      out += '"';
      out += bytes;
      out += '"';
    } else {
      out += JsonString(ToUtf8(bytes, encoding));
    }
  };
  const auto number = [&out](double value) {
    if (!std::isfinite(value)) {
      out += "null";
      return;
    }
    char digits[32];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
  };
  out += "\"name\": ";
  text(point.name);
  out += ", \"role\": \"";
  out += RoleName(point.role);
  out += "\", \"setup\": ";
  text(point.setup);
  out += ", \"distance\": ";
  number(point.distance);
  out += ", \"raw_elevation\": ";
  number(point.raw_elevation);
  out += ", \"correction\": ";
  number(point.correction);
  out += ", \"adjusted_elevation\": ";
  number(point.adjusted_elevation);
}

void JsonExport::Begin(const ThirdOrderVerdict& verdict) {
  const RunState& rs = rs_;
  const Units units = UnitsOfMark(rs.UnitMark);
  RunMeasures measures;
  measures.units = units;
  measures.run_length = rs.RunLength;
  measures.misclosure = rs.Misclosure;
  measures.third_order = verdict;
  measures.max_setup_imbalance = rs.MaxSetupImbalance;
  measures.total_imbalance = std::fabs(rs.SumBsHd - rs.SumFsHd);
  measures.max_sight = rs.MaxSight;
  const std::vector<OrderCheck> orders = CheckOrders(measures);
  const std::optional<std::string_view> highest = HighestOrderMet(orders);

  const auto mark = [this](const std::string& name, double elevation) {
    return JsonLine()
        .Add("name", JsonString(ToUtf8(name, encoding_)))
        .Add("elevation", JsonNumber(elevation))
        .Text();
  };
  JsonDocument document(Text());
  document.Key("quarrow_version", JsonString(kVersionText));
  document.Key("units", JsonString(UnitsName(units)));
  document.Key("field_file", JsonText(rs.InputPath));
  document.Key("report", JsonText(rs.ReportPath));
  document.Key("date", JsonString(IsoDate(date_)));
  document.Key("begin", mark(rs.FirstMark, rs.BeginElev));
  document.Key("end", mark(rs.LastMark, rs.EndElev));
  document.Key("setups", std::to_string(rs.SetupCount));
  document.Key("run_length", JsonNumber(rs.RunLength));
  document.Key("sum_backsight_distance", JsonNumber(rs.SumBsHd));
  document.Key("sum_foresight_distance", JsonNumber(rs.SumFsHd));
  document.Key("misclosure", JsonNumber(rs.Misclosure));
  document.Key("allowed_misclosure", JsonNumber(rs.AllowedError));
  document.Key("third_order", JsonLine()
                                  .Add("meets", JsonBool(verdict.Meets()))
                                  .Add("failures", FailureLines(rs.MessageText))
                                  .Text());
  document.Key("max_sight", JsonNumber(rs.MaxSight));
  document.Key("max_setup_imbalance", JsonNumber(rs.MaxSetupImbalance));
  document.Key("distribution", JsonString(rs.DistributeBySetups ? "setups" : "distance"));
  document.Key("refraction_k", rs.CurvatureApplied ? JsonNumber(rs.RefractionK) : "null");
  std::vector<std::string> order_lines;
  for (const OrderCheck& order : orders) {
    order_lines.push_back(JsonLine()
                              .Add("order", JsonString(order.order))
                              .Add("allowed_misclosure", JsonNumber(order.allowed_misclosure))
                              .Add("max_setup_imbalance", JsonNumber(order.max_setup_imbalance))
                              .Add("max_total_imbalance", JsonNumber(order.max_total_imbalance))
                              .Add("max_sight", JsonNumber(order.max_sight))
                              .Add("meets_misclosure", JsonBool(order.meets_misclosure))
                              .Add("meets_setup_balance", JsonBool(order.meets_setup_balance))
                              .Add("meets_total_balance", JsonBool(order.meets_total_balance))
                              .Add("meets_sight", JsonBool(order.meets_sight))
                              .Add("meets", JsonBool(order.meets))
                              .Text());
  }
  document.Lines("orders", order_lines);
  document.Key("highest_order_met", highest ? JsonString(*highest) : "null");
  document.OpenStream("points");
}

void JsonExport::Point(const RunPoint& point) {
  std::string& out = Text();
  out += JsonDocument::ItemPrefix(first_point_);
  out += '{';
  first_point_ = false;
  AppendJsonPointKeys(out, point, encoding_);
  out += '}';
  Flush(false);
}

bool JsonExport::Finish() {
  Text() += JsonDocument::StreamEnd();
  return Flush(true);
}

}  // namespace quarrow
