#include "levelling/line_builder.h"

#include <algorithm>
#include <cmath>

#include "convert/field_book.h"

namespace quarrow {

namespace {

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

double Mean(const std::vector<const StaffSight*>& sights, double StaffSight::*value) {
  double sum = 0;
  for (const StaffSight* sight : sights) sum += sight->*value;
  return sum / static_cast<double>(sights.size());
}

std::string Count(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::optional<LevelOrder> OrderNamed(std::string_view name, std::string place) {
  std::string_view letters = name;
  if (letters.starts_with('a')) letters.remove_prefix(1);
  if (letters.ends_with('a')) letters.remove_suffix(1);
  if (letters.empty()) return std::nullopt;
  const auto backs = std::count(letters.begin(), letters.end(), 'B');
  const auto fores = std::count(letters.begin(), letters.end(), 'F');
  if (backs + fores != static_cast<std::ptrdiff_t>(letters.size()) || backs != fores) {
    return std::nullopt;
  }
  return LevelOrder{std::string(name), static_cast<int>(letters.size()), std::move(place)};
}

void LineBuilder::NameStart(std::string point, std::string place) {
  start_point_ = std::move(point);
  start_place_ = std::move(place);
}

void LineBuilder::Add(StaffSight sight) {
  if (!setups_.empty()) {
    std::vector<StaffSight>& setup = setups_.back();
    const auto same_side = [&](const StaffSight& s) { return s.backsight == sight.backsight; };
    const auto first = std::find_if(setup.begin(), setup.end(), same_side);
    const bool same_point = first == setup.end() || first->point == sight.point;
    const bool full = order_.readings_per_setup > 0 &&
                      setup.size() >= static_cast<std::size_t>(order_.readings_per_setup);
    if (same_point && !full) {
      setup.push_back(std::move(sight));
      return;
    }
  }
  setups_.push_back({std::move(sight)});
}

std::int64_t LineBuilder::DropLastSight() {
  if (setups_.empty()) return 0;
  setups_.back().pop_back();
  if (setups_.back().empty()) setups_.pop_back();
  return 1;
}

std::int64_t LineBuilder::DropLastSetup() {
  if (setups_.empty()) return 0;
  const auto dropped = static_cast<std::int64_t>(setups_.back().size());
  setups_.pop_back();
  return dropped;
}

std::int64_t LineBuilder::Readings() const {
  std::int64_t count = 0;
  for (const auto& setup : setups_) count += static_cast<std::int64_t>(setup.size());
  return count;
}

std::string LineBuilder::LastForesight() const {
  for (auto setup = setups_.rbegin(); setup != setups_.rend(); ++setup) {
    for (auto sight = setup->rbegin(); sight != setup->rend(); ++sight) {
      if (!sight->backsight) return sight->point;
    }
  }
  return {};
}

std::string LineBuilder::LastForesightPlace() const {
  for (auto setup = setups_.rbegin(); setup != setups_.rend(); ++setup) {
    for (auto sight = setup->rbegin(); sight != setup->rend(); ++sight) {
      if (!sight->backsight) return sight->place;
    }
  }
  return {};
}

LevelledLine LineBuilder::Finish() const {
  if (setups_.empty()) {
    throw ConvertError(place_ +
                       ": the line started here has no backsight and foresight readings, so it "
                       "reaches no closing bench mark; expected staff readings on its bench marks "
                       "and change points before the next line starts or the file ends.");
  }
  LevelledLine line;
  line.place = place_;
  const StaffSight* previous_foresight = nullptr;
  for (std::size_t i = 0; i < setups_.size(); ++i) {
    const std::vector<StaffSight>& setup = setups_[i];
    std::vector<const StaffSight*> backs;
    std::vector<const StaffSight*> fores;
    for (const StaffSight& sight : setup) (sight.backsight ? backs : fores).push_back(&sight);
    const std::string& where = setup.front().place;
    if (fores.empty()) {
      const StaffSight& back = *backs.back();
      throw ConvertError(
          back.place + ": the backsight on " + Quoted(back.point) + " has no foresight partner: " +
          (i + 1 == setups_.size()
               ? std::string("the line ends")
               : "the next setup starts (" + setups_[i + 1].front().place + ")") +
          " before a foresight is read; expected a foresight reading in the same setup.");
    }
    if (backs.empty()) {
      const StaffSight& fore = *fores.front();
      throw ConvertError(
          fore.place + ": the foresight on " + Quoted(fore.point) +
          " has no backsight partner in its setup; expected a backsight reading on " +
          (previous_foresight == nullptr
               ? std::string("the line's starting bench mark")
               : "the change point " + Quoted(previous_foresight->point)) +
          " in the same setup.");
    }
    if (backs.size() != fores.size()) {
      throw ConvertError(where + ": the setup holds " +
                         Count(backs.size(), "backsight reading", "backsight readings") + " and " +
                         Count(fores.size(), "foresight reading", "foresight readings") +
                         "; each backsight reading needs a foresight partner in the setup.");
    }
    if (order_.readings_per_setup > 0 &&
        setup.size() != static_cast<std::size_t>(order_.readings_per_setup)) {
      throw ConvertError(where + ": the setup holds " + Count(setup.size(), "reading", "readings") +
                         ", but the line is levelled " + order_.name + " (" + order_.place + "), " +
                         std::to_string(order_.readings_per_setup) +
                         " readings a setup; expected each staff read " +
                         std::to_string(order_.readings_per_setup / 2) + " times in every setup.");
    }
    const StaffSight& back = *backs.front();
    const StaffSight& fore = *fores.front();
    if (back.point == fore.point) {
      throw ConvertError(where + ": the setup reads " + Quoted(back.point) +
                         " as both its backsight and its foresight; a setup levels from one point "
                         "to another.");
    }
    if (previous_foresight == nullptr && !start_point_.empty() && back.point != start_point_) {
      throw ConvertError(back.place + ": the line starts on the bench mark " +
                         Quoted(start_point_) + " (" + start_place_ +
                         "), but its first backsight reads " + Quoted(back.point) +
                         "; a line's first backsight is its starting bench mark.");
    }
    if (previous_foresight != nullptr && back.point != previous_foresight->point) {
      throw ConvertError(back.place + ": the backsight reads " + Quoted(back.point) +
                         ", but the setup before ended on " + Quoted(previous_foresight->point) +
                         " (" + previous_foresight->place +
                         "); a setup backsights the change point the setup before it foresighted.");
    }
    if (previous_foresight == nullptr) line.from = back.point;
    line.difference += Mean(backs, &StaffSight::reading) - Mean(fores, &StaffSight::reading);
    line.length += Mean(backs, &StaffSight::distance) + Mean(fores, &StaffSight::distance);
    previous_foresight = &fore;
  }
  if (!(line.length > 0)) {
    throw ConvertError(place_ +
                       ": the line's distances are all zero, so it has no length to weigh it by; "
                       "expected the distance to the staff with every reading.");
  }
  line.to = previous_foresight->point;
  line.setups = static_cast<std::int64_t>(setups_.size());
  return line;
}

void RefuseImplausible(double value, const std::string& place, std::string_view text) {
  if (!(std::fabs(value) < kLargestStaffValue)) {
    throw ConvertError(place + ": \"" + std::string(text) +
                       "\" is a million or more; no staff reading or distance to the staff is "
                       "that large.");
  }
}

void UnitsKeeper::Take(Units units, const std::string& name, int decimals, const std::string& place,
                       const std::string& what) {
  if (!units_) {
    units_ = units;
    name_ = name;
    first_place_ = place;
  } else if (name != name_) {
    throw ConvertError(place + ": " + what + " is in " + name +
                       ", but the file's earlier readings " + "are in " + name_ + " (" +
                       first_place_ + "); a levelled file keeps to one unit.");
  }
  decimals_ = std::max(decimals_, decimals);
}

void UnitsKeeper::FillIn(LevelledFile& file) const {
  file.units = units_.value_or(Units::kMetric);
  file.unit_name = name_;
  file.decimals = std::min(decimals_ + 1, kMostDecimals);
}

}  // namespace quarrow
