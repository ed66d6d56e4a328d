#pragma once

// The profile picture: the adjusted run drawn beside its report. It listens
// to the report pass, keeps what it will draw, and in Finish draws the
// elevations along the run over the backsight/foresight balance of every
// setup, into a temporary file that only Commit moves into place. So a
// picture never exists without its report, and a failed report leaves no
// picture behind.
//
// It keeps four doubles a setup and two a side shot (some 32 MB for a run of a
// million setups), and names only where they could ever be drawn. Numbers and
// the date are written in the default QLocale's form.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/platform.h"
#include "engine/run_listener.h"
#include "engine/run_state.h"
#include "exports/run_export.h"
#include "plot/profile_drawing.h"
#include "plot/profile_format.h"

class QSaveFile;
class QString;

namespace quarrow {

class ProfilePicture : public RunOutput {
 public:
  // `path` names the picture to write; its extension chooses the format (see
  // FormatOf). `date` is the date the title shows. `rs` must outlive the
  // listener; it is read in Begin only.
  ProfilePicture(const RunState& rs, std::string path, CivilDate date);
  ~ProfilePicture() override;

  // The format for a picture named `path`, by its extension in any case:
  // ".svg", ".png", ".pdf". Anything else, no extension included, is nullopt.
  static std::optional<ProfileFormat> FormatOf(std::string_view path);

  // Reads the run's totals from RunState; `error_tally` above 0 means the run
  // does not meet third order.
  void Begin(const ThirdOrderVerdict& verdict) override;
  void Point(const RunPoint& point) override;
  void Setup(const SetupSights& setup) override;
  // Draws the picture into a temporary file beside `path`. False, with
  // ErrorText saying why, when the name has no picture format or the file
  // cannot be written; nothing is shown to the user here and nothing is left
  // at `path`.
  bool Finish() override;

  // Moves the picture Finish drew into place, replacing any file at `path`.
  // False, with ErrorText saying why, when there is nothing to move or the
  // move fails.
  bool Commit() override;
  // Why the last Finish or Commit failed, in words for the user.
  std::string ErrorText() const override;

  // What Finish draws, for a window that draws it on screen instead: whole
  // once the report pass has told every point.
  const ProfileData& data() const { return data_; }

 private:
  bool Fail(const QString& reason);

  const RunState& rs_;
  CivilDate date_;
  ProfileData data_;
  // Names are kept for at most one turning point and a few side shots per
  // label slot: a longer run could never show more.
  std::int64_t last_turn_slot_ = -1;
  std::int64_t last_side_slot_ = -1;
  int turn_names_in_slot_ = 0;
  int side_names_in_slot_ = 0;
  double slot_width_ = 0;
  std::unique_ptr<QSaveFile> file_;
  std::string error_;
};

}  // namespace quarrow
