#include "office/profile_view.h"

#include <QPainter>
#include <algorithm>

namespace quarrow {

ProfileView::ProfileView(QWidget* parent) : QWidget(parent) {
  setAccessibleName(tr("Profile"));
  setMinimumSize(240, 160);
  Clear(tr("Select an adjusted run to see its profile."));
}

void ProfileView::SetProfile(ProfileData data) {
  data_ = std::move(data);
  text_.clear();
  setAccessibleDescription(tr("Profile of %1").arg(ShownText(data_->field_file)));
  update();
}

void ProfileView::Clear(const QString& text) {
  data_.reset();
  text_ = text;
  setAccessibleDescription(text);
  update();
}

QRectF ProfileView::CanvasRect() const {
  const double scale = std::min(width() / kCanvasWidth, height() / kCanvasHeight);
  return QRectF((width() - kCanvasWidth * scale) / 2, (height() - kCanvasHeight * scale) / 2,
                kCanvasWidth * scale, kCanvasHeight * scale);
}

void ProfileView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  if (!data_) {
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, text_);
    return;
  }
  painter.fillRect(rect(), Qt::white);
  const QRectF canvas = CanvasRect();
  painter.translate(canvas.topLeft());
  painter.scale(canvas.width() / kCanvasWidth, canvas.height() / kCanvasHeight);
  DrawProfile(painter, *data_, QLocale());
}

}  // namespace quarrow
