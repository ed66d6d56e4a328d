#pragma once

// Texts of the window and the About box that are not captions: the help
// message, the window's own refusals and the About box's content. Captions
// and tool tips stay beside their controls, through tr(). Texts the engine
// shows live in engine/messages.h. Messages use CR LF between lines.

#include <cstddef>
#include <string>
#include <string_view>

namespace quarrow::window_texts {

// The menu bar's spacer: a disabled title of blanks that pushes "Exit" to
// the right. It has to stay exactly this wide.
inline constexpr std::size_t kSpacerBlanks = 62;

// The two file dialogs.
inline constexpr std::string_view kOpenDialogTitle = "Select The Project Dump File";
inline constexpr std::string_view kSaveDialogTitle = "Select The Report File";

// Elevations that are not numbers. The first line names the box.
inline constexpr std::string_view kBeginningElevationNotNumber =
    "Beginning Elevation Is Not A Number:";
inline constexpr std::string_view kEndingElevationNotNumber = "Ending Elevation Is Not A Number:";
inline constexpr std::string_view kTypeElevationLike = "Type the published elevation, as in 100";
// A fault inside a command: the command stops, the window stays usable.
inline constexpr std::string_view kCommandFailed = "The command stopped on an unexpected fault:";

// A file name the system gave as bytes that are no UTF-8 text: Qt shows
// them as replacement characters, and the file cannot be found or written
// under the name shown.
inline constexpr std::string_view kNameNotText = "The File Name Is Not UTF-8 Text:";
inline constexpr std::string_view kRenameTheFile =
    "Rename the file (or its folder) with UTF-8 characters, then choose it again.";

// Help > Quarrow Help: OK only, no icon.
inline constexpr std::string_view kHelpTitle = "Quarrow Help";
inline constexpr std::string_view kHelpText =
    "The help file is not available at this time.\r\n"
    "\r\n"
    "Please call Quarrow Support at (503) 555-0142 for assistance,\r\n"
    "    or read the Drevak field guide Trimble Level Run, a PDF file (installed with Quarrow).";

// The field guide, looked for in the program's folder.
inline constexpr std::string_view kGuideFileName = "Trimble Level Run.pdf";

// The About box.
inline constexpr std::string_view kProgramTitle = "Quarrow";
inline constexpr std::string_view kAboutCaptionStart = "About ";
inline constexpr std::string_view kLegalCopyright =
    "Copyright (C) 2009-2026 The Quarrow Developers";
inline constexpr std::string_view kReleaseDate = "    December 16, 2009";
inline constexpr std::string_view kDescription =
    "Quarrow reads a comma-delimited file, containing\r\n"
    "field data for a level run, as output by Trimble\r\n"
    "Geomatics Office.  Quarrow computes the closure\r\n"
    "and writes a report file of the adjustment.\r\n"
    "\r\n"
    "Quarrow can run in interactive mode, or it can \r\n"
    "function as a drag-and-drop application.\r\n";
inline constexpr std::string_view kSupportHeading = "User Support Information: ";
inline constexpr std::string_view kSupportContact = "     Quarrow Support        (503) 555-0142";
inline constexpr std::string_view kSupportMail = "     support@example.com";
inline constexpr std::string_view kSupportWeb = "     www.example.com/quarrow";
inline constexpr std::string_view kDisclaimer =
    "Warning: ...The user releases the Drevak from all liability resulting from inaccuracies "
    "in this application.";

// "Version 2.0.15    December 16, 2009": plain integers, then the fixed date.
inline std::string VersionLine(int major, int minor, int revision) {
  return "Version " + std::to_string(major) + "." + std::to_string(minor) + "." +
         std::to_string(revision) + std::string(kReleaseDate);
}

}  // namespace quarrow::window_texts
