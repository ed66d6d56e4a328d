#pragma once

// The selected run's profile, drawn in the window by the very routine that
// draws --profile (plot/profile_drawing.h), scaled to fit and centred; a
// line of text in its place while there is nothing to draw.

#include <QString>
#include <QWidget>
#include <optional>

#include "plot/profile_drawing.h"

namespace quarrow {

class ProfileView : public QWidget {
 public:
  explicit ProfileView(QWidget* parent = nullptr);

  void SetProfile(ProfileData data);
  // No picture: `text` says why.
  void Clear(const QString& text);
  bool HasProfile() const { return data_.has_value(); }
  const ProfileData* profile() const { return data_ ? &*data_ : nullptr; }
  // Where the canvas lies in the widget.
  QRectF CanvasRect() const;

  QSize sizeHint() const override { return {640, 400}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<ProfileData> data_;
  QString text_;
};

}  // namespace quarrow
