#include "engine/error_box.h"

#include <string>

#include "engine/messages.h"

namespace quarrow {

void ShowError(Platform& platform, std::initializer_list<std::string_view> lines) {
  MessageBoxSpec box{std::string(messages::kErrorTitle), "", MessageIcon::kCritical,
                     MessageButtons::kOk};
  for (std::string_view line : lines) {
    if (!box.text.empty()) box.text += messages::kLineBreak;
    box.text += line;
  }
  platform.ShowMessage(box);
}

}  // namespace quarrow
