// Times the profile picture of a run of 1,000,000 setups: telling it the run,
// then drawing it to each format (Finish) and moving it into place (Commit).
// The drawing must stay within 2 s a format on the project's machine.
//
//   quarrow-profile-bench [SETUPS] [ROUNDS] [FOLDER]
//
// The pictures are drawn in a scratch folder, or kept in FOLDER when given.

#include <sys/resource.h>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "plot/profile_picture.h"
#include "tests/plot/profile_runs.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

double PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const long long setups = argc > 1 ? std::atoll(argv[1]) : 1'000'000;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  QTemporaryDir scratch;
  const QDir dir(argc > 3 ? QString::fromLocal8Bit(argv[3]) : scratch.path());
  if (!scratch.isValid() || !dir.exists()) {
    std::fprintf(stderr, "no scratch folder\n");
    return 1;
  }
  std::printf("Profile picture of %lld setups, best of %d rounds\n", setups, rounds);
  std::printf("%-6s %10s %10s %12s %12s\n", "format", "tell s", "draw s", "bytes", "peak MiB");
  bool within = true;
  for (const char* name : {"profile.svg", "profile.png", "profile.pdf"}) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    double best_tell = 1e9, best_draw = 1e9;
    for (int round = 0; round < rounds; ++round) {
      quarrow::RunState rs;
      quarrow::ProfilePicture picture(rs, path.toStdString(), {2026, 12, 7});
      auto start = Clock::now();
      quarrow::profile_runs::TellMadeRun(rs, picture, setups);
      best_tell = std::min(best_tell, Seconds(start));
      start = Clock::now();
      if (!picture.Finish() || !picture.Commit()) {
        std::fprintf(stderr, "%s\n", picture.ErrorText().c_str());
        return 1;
      }
      best_draw = std::min(best_draw, Seconds(start));
    }
    within = within && best_draw < 2.0;
    std::printf("%-6s %10.3f %10.3f %12lld %12.1f\n", name + 8, best_tell, best_draw,
                static_cast<long long>(QFileInfo(path).size()), PeakMiB());
  }
  std::printf("%s\n", within ? "every format within 2 s" : "a format took 2 s or more");
  return within ? 0 : 2;
}
