#include "plot/profile_module.h"

#include "plot/profile_picture.h"

extern "C" Q_DECL_EXPORT QCoreApplication* quarrow_make_drawing_application(int& argc,
                                                                            char** argv) {
  return quarrow::MakeGuiApplication(argc, argv);
}

extern "C" Q_DECL_EXPORT quarrow::RunOutput* quarrow_make_profile_picture(
    const quarrow::RunState& rs, const std::string& path, quarrow::CivilDate date) {
  return new quarrow::ProfilePicture(rs, path, date);
}

// The declarations above must match the types the loader expects.
static_assert(
    std::is_same_v<decltype(&quarrow_make_drawing_application), quarrow::MakeDrawingApplication>);
static_assert(std::is_same_v<decltype(&quarrow_make_profile_picture), quarrow::MakeProfilePicture>);
