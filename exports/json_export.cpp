#include "exports/json_export.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "engine/version.h"
#include "exports/csv_export.h"
#include "exports/orders.h"

namespace quarrow {

namespace {

std::string IsoDate(const CivilDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

// The lines of the failed-tests message, as the tool prints them.
std::string FailureLines(const std::string& message) {
  std::string list = "[";
  std::size_t start = 0;
  while (start < message.size()) {
    std::size_t end = message.find("\r\n", start);
    if (end == std::string::npos) end = message.size();
    if (list.size() > 1) list += ", ";
    list += JsonString(message.substr(start, end - start));
    start = end + 2;
  }
  return list + "]";
}

const char* Boolean(bool value) { return value ? "true" : "false"; }

}  // namespace

std::string JsonString(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        quoted += "\\\"";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\t':
        quoted += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          quoted += escaped;
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "\"";
}

std::string JsonText(std::string_view text) {
  return JsonString(IsValidUtf8(text) ? std::string(text)
                                      : ToUtf8(text, NameEncoding::kWindows1252));
}

void AppendJsonPointKeys(std::string& out, const RunPoint& point, NameEncoding encoding) {
  out += "\"name\": ";
  out += JsonString(ToUtf8(point.name, encoding));
  out += ", \"role\": \"";
  out += RoleName(point.role);
  out += "\", \"setup\": ";
  out += JsonString(ToUtf8(point.setup, encoding));
  out += ", \"distance\": " + JsonNumber(point.distance);
  out += ", \"raw_elevation\": " + JsonNumber(point.raw_elevation);
  out += ", \"correction\": " + JsonNumber(point.correction);
  out += ", \"adjusted_elevation\": " + JsonNumber(point.adjusted_elevation);
}

std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";  // JSON has no infinities
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

void JsonExport::Begin(std::int64_t error_tally) {
  const RunState& rs = rs_;
  const bool feet = rs.UnitMark == '\'';
  RunMeasures measures;
  measures.feet = feet;
  measures.run_length = rs.RunLength;
  measures.misclosure = rs.Misclosure;
  measures.third_order_allowed = rs.AllowedError;
  measures.third_order_max_diff = rs.MaxDiff;
  measures.turn_errors = rs.TurnErrors;
  measures.max_setup_imbalance = rs.MaxSetupImbalance;
  measures.total_imbalance = std::fabs(rs.SumBsHd - rs.SumFsHd);
  measures.max_sight = rs.MaxSight;
  const std::vector<OrderCheck> orders = CheckOrders(measures);
  const std::optional<std::string_view> highest = HighestOrderMet(orders);

  std::string& out = Text();
  const auto key = [&out](std::string_view name, const std::string& value) {
    out += "  ";
    out += JsonString(name);
    out += ": ";
    out += value;
    out += ",\n";
  };
  const auto mark = [this](const std::string& name, double elevation) {
    return "{\"name\": " + JsonString(ToUtf8(name, encoding_)) +
           ", \"elevation\": " + JsonNumber(elevation) + "}";
  };
  out += "{\n";
  key("quarrow_version", JsonString(kVersionText));
  key("units", JsonString(feet ? "feet" : "metric"));
  key("field_file", JsonText(rs.InputPath));
  key("report", JsonText(rs.ReportPath));
  key("date", JsonString(IsoDate(date_)));
  key("begin", mark(rs.FirstMark, rs.BeginElev));
  key("end", mark(rs.LastMark, rs.EndElev));
  key("setups", std::to_string(rs.SetupCount));
  key("run_length", JsonNumber(rs.RunLength));
  key("sum_backsight_distance", JsonNumber(rs.SumBsHd));
  key("sum_foresight_distance", JsonNumber(rs.SumFsHd));
  key("misclosure", JsonNumber(rs.Misclosure));
  key("allowed_misclosure", JsonNumber(rs.AllowedError));
  key("third_order", "{\"meets\": " + std::string(Boolean(error_tally == 0)) +
                         ", \"failures\": " + FailureLines(rs.MessageText) + "}");
  key("max_sight", JsonNumber(rs.MaxSight));
  key("max_setup_imbalance", JsonNumber(rs.MaxSetupImbalance));
  key("distribution", JsonString(rs.DistributeBySetups ? "setups" : "distance"));
  key("refraction_k", rs.CurvatureApplied ? JsonNumber(rs.RefractionK) : "null");
  out += "  \"orders\": [";
  for (std::size_t i = 0; i < orders.size(); ++i) {
    const OrderCheck& order = orders[i];
    out += i == 0 ? "\n" : ",\n";
    out += "    {\"order\": " + JsonString(order.order) +
           ", \"allowed_misclosure\": " + JsonNumber(order.allowed_misclosure) +
           ", \"max_setup_imbalance\": " + JsonNumber(order.max_setup_imbalance) +
           ", \"max_total_imbalance\": " + JsonNumber(order.max_total_imbalance) +
           ", \"max_sight\": " + JsonNumber(order.max_sight) +
           ", \"meets_misclosure\": " + Boolean(order.meets_misclosure) +
           ", \"meets_setup_balance\": " + Boolean(order.meets_setup_balance) +
           ", \"meets_total_balance\": " + Boolean(order.meets_total_balance) +
           ", \"meets_sight\": " + Boolean(order.meets_sight) +
           ", \"meets\": " + Boolean(order.meets) + "}";
  }
  out += "\n  ],\n";
  key("highest_order_met", highest ? JsonString(*highest) : "null");
  out += "  \"points\": [";
}

void JsonExport::Point(const RunPoint& point) {
  std::string& out = Text();
  out += first_point_ ? "\n    {" : ",\n    {";
  first_point_ = false;
  AppendJsonPointKeys(out, point, encoding_);
  out += '}';
  Flush(false);
}

bool JsonExport::Finish() {
  Text() += "\n  ]\n}\n";
  return Flush(true);
}

}  // namespace quarrow
