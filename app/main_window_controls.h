#pragma once

// The controls of frmMain as the window was drawn: what BuildControls makes
// and the layout tests measure. Places are in twips from the top-left corner
// of the client area (15 twips to the pixel at 96 dots per inch).

namespace quarrow {

// The working area below the menu bar, in twips.
inline constexpr int kMainClientWidth = 6135;
inline constexpr int kMainClientHeight = 3510;

enum class ControlKind { kLabel, kTextBox, kButton, kOption };

struct ControlLayout {
  const char* name;  // object name, as the handlers are named after it
  ControlKind kind;
  const char* caption;  // label or button text, translated; "" for text boxes
  int left, top, width, height;
  int tab_index;         // labels take no focus: their index only orders the list
  const char* tool_tip;  // "" for none
};

inline constexpr ControlLayout kMainWindowControls[] = {
    {"Label3", ControlKind::kLabel, "Comma-Delimited Level File From TGO", 120, 240, 5055, 255, 11,
     ""},
    {"txtLvlFile", ControlKind::kTextBox, "", 120, 480, 5055, 285, 1,
     "Drag the TGO file here, type its name, or browse for the file."},
    {"btnGetLvl", ControlKind::kButton, "Select", 5280, 480, 735, 285, 2, ""},
    {"lblCty", ControlKind::kLabel, "Level Adjustment Report File", 120, 1080, 5055, 255, 0, ""},
    {"txtRptFile", ControlKind::kTextBox, "", 120, 1320, 5055, 285, 3,
     "Drag the report file here, type its name, or browse for the file."},
    {"btnGetRpt", ControlKind::kButton, "Select", 5280, 1320, 735, 285, 4, ""},
    {"Label1", ControlKind::kLabel, "Beginning Elevation", 360, 1980, 1455, 255, 12, ""},
    {"txtBegElev", ControlKind::kTextBox, "", 1920, 1920, 975, 285, 5,
     "Published elevation of the beginning bench mark."},
    {"btnFoot", ControlKind::kOption, "Use English Units", 3720, 1980, 1695, 255, 7, ""},
    {"Label2", ControlKind::kLabel, "Ending Elevation", 360, 2340, 1215, 255, 13, ""},
    {"txtEndElev", ControlKind::kTextBox, "", 1920, 2280, 975, 285, 6,
     "Published elevation of the ending bench mark."},
    {"btnMeter", ControlKind::kOption, "Use Metric Units", 3720, 2280, 1575, 195, 8, ""},
    {"btnAdjust", ControlKind::kButton, "Adjust", 1650, 2880, 735, 375, 9,
     "Compute the adjustment as specified above."},
    {"btnExit", ControlKind::kButton, "Exit", 3750, 2880, 735, 375, 10, ""},
};

}  // namespace quarrow
