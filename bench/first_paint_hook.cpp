// Preloaded into a Qt program (LD_PRELOAD) to end it the moment its first
// frame has been painted and handed to the screen: it wraps
// QBackingStore::flush, lets the first flush through, then exits at once.
// Timing the whole process then times "start to first paint", the same way
// for the Quarrow window and for an empty QMainWindow.

#include <dlfcn.h>
#include <unistd.h>

namespace {
constexpr const char* kFlushSymbol = "_ZN13QBackingStore5flushERK7QRegionP7QWindowRK6QPoint";
using Flush = void (*)(void*, const void*, void*, const void*);
}  // namespace

// QBackingStore::flush(const QRegion&, QWindow*, const QPoint&), by its
// mangled name, so that no Qt header is needed here.
extern "C" void FirstPaintFlush(
    void* store, const void* region, void* window,
    const void* offset) __asm__("_ZN13QBackingStore5flushERK7QRegionP7QWindowRK6QPoint");

extern "C" __attribute__((visibility("default"))) void FirstPaintFlush(void* store,
                                                                       const void* region,
                                                                       void* window,
                                                                       const void* offset) {
  auto real = reinterpret_cast<Flush>(dlvsym(RTLD_NEXT, kFlushSymbol, "Qt_6"));
  if (!real) real = reinterpret_cast<Flush>(dlsym(RTLD_NEXT, kFlushSymbol));
  if (real) real(store, region, window, offset);
  _exit(0);
}
