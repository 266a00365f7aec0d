// Times a program from its start until the X server maps its window with the
// given title. It waits for the map event on the root window, so nothing
// polls and nothing competes with the program for the processors.
//   startup_watch TITLE PROGRAM [ARGUMENTS...]
// Prints the milliseconds. Exit status: 0 when the window was mapped, 2 when
// the program ended (or 10 seconds went by) before, 1 for other failures.
// Only top-level windows that are children of the root are seen: run it on
// a display without a reparenting window manager (as xvfb-run makes one).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

extern char** environ;

namespace {

// A window may be gone by the time its name is asked for.
int IgnoreErrors(Display*, XErrorEvent*) {
  return 0;
}

std::string WindowTitle(Display* display, Window window) {
  const Atom utf8Name = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8String = XInternAtom(display, "UTF8_STRING", False);
  for (const auto& [property, type] : {std::pair{utf8Name, utf8String}, {XA_WM_NAME, XA_STRING}}) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, type, &actualType, &format,
                           &count, &after, &data) == Success &&
        data != nullptr) {
      std::string title(reinterpret_cast<const char*>(data), count);
      XFree(data);
      if (actualType == type && format == 8) return title;
    }
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_watch TITLE PROGRAM [ARGUMENTS...]\n");
    return 1;
  }
  const std::string title = argv[1];
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "startup_watch: cannot open the display\n");
    return 1;
  }
  XSetErrorHandler(IgnoreErrors);
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);  // watching before the program starts

  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  for (int fd : {0, 1, 2})
    posix_spawn_file_actions_addopen(&files, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[2], &files, nullptr, argv + 2, environ) != 0) {
    std::fprintf(stderr, "startup_watch: cannot start %s\n", argv[2]);
    return 1;
  }
  posix_spawn_file_actions_destroy(&files);
  const int ended = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));

  bool mapped = false;
  auto shown = start;
  while (!mapped) {
    while (!mapped && XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && WindowTitle(display, event.xmap.window) == title) {
        shown = std::chrono::steady_clock::now();
        mapped = true;
      }
    }
    if (mapped) break;
    pollfd fds[] = {{ConnectionNumber(display), POLLIN, 0}, {ended, POLLIN, 0}};
    const int ready = poll(fds, ended >= 0 ? 2 : 1, 10000);
    if (ready == 0 || (ready > 0 && fds[1].revents != 0 && XPending(display) == 0)) break;
  }

  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  XCloseDisplay(display);
  if (!mapped) {
    std::fprintf(stderr, "startup_watch: %s ended before its window was mapped\n", argv[2]);
    return 2;
  }
  std::printf("%.2f\n", std::chrono::duration<double, std::milli>(shown - start).count());
  return 0;
}
