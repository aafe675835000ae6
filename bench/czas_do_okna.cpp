// Time from starting a command to the first top-level window it maps on the X display, for a
// program as it is installed (no change to it, no hook inside it): the module started through its
// menu entry's launcher as well as build/faktura. Run by bench/pakiet.sh on Xvfb, where no window
// manager reparents the window. Each run is ended with SIGTERM once the window is there.
//
//   czas_do_okna [-n RAZY] PROGRAM [ARGUMENT...]   prints one time in ms per run on standard output
//
// The command's output is dropped; the measurement starts just before the command is started.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

extern char** environ;

namespace {

using Zegar = std::chrono::steady_clock;
constexpr int LimitMs = 30000;

struct ZwalniaczZdarzen {
    void operator()(void* p) const { std::free(p); }
};

// True when the event says that a top-level window was mapped.
bool ZmapowanoOkno(const xcb_generic_event_t* zdarzenie) {
    if ((zdarzenie->response_type & 0x7f) != XCB_MAP_NOTIFY) return false;
    const auto* mapa = reinterpret_cast<const xcb_map_notify_event_t*>(zdarzenie);
    return mapa->override_redirect == 0;  // menus and tooltips are not the window
}

// Events of the run before (its window going away) are not this run's.
void OproznijKolejke(xcb_connection_t* x) {
    std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
    while (xcb_generic_event_t* z = xcb_poll_for_event(x)) std::free(z);
}

// Milliseconds to the first mapped window; negative when the command ended before it or the limit
// passed.
double JedenStart(xcb_connection_t* x, char** polecenie) {
    OproznijKolejke(x);
    const Zegar::time_point poczatek = Zegar::now();
    // The command's own output (Qt's notes) would mix with the times.
    posix_spawn_file_actions_t akcje;
    posix_spawn_file_actions_init(&akcje);
    posix_spawn_file_actions_addopen(&akcje, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&akcje, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int uruchomiono = posix_spawnp(&pid, polecenie[0], &akcje, nullptr, polecenie, environ);
    posix_spawn_file_actions_destroy(&akcje);
    if (uruchomiono != 0) return -1;
    double wynik = -1;
    pollfd polaczenie{xcb_get_file_descriptor(x), POLLIN, 0};
    while (wynik < 0) {
        std::unique_ptr<xcb_generic_event_t, ZwalniaczZdarzen> zdarzenie(xcb_poll_for_event(x));
        if (zdarzenie) {
            if (ZmapowanoOkno(zdarzenie.get()))
                wynik = std::chrono::duration<double, std::milli>(Zegar::now() - poczatek).count();
            continue;
        }
        int stan = 0;
        if (xcb_connection_has_error(x) || waitpid(pid, &stan, WNOHANG) == pid) return -1;
        const auto uplynelo =
            std::chrono::duration_cast<std::chrono::milliseconds>(Zegar::now() - poczatek).count();
        if (uplynelo > LimitMs) break;
        poll(&polaczenie, 1, 50);  // woken by the event; the timeout only checks the command
    }
    kill(pid, SIGTERM);
    int stan = 0;
    waitpid(pid, &stan, 0);
    return wynik;
}

}  // namespace

int main(int argc, char** argv) {
    int razy = 1;
    int pierwszy = 1;
    if (argc > 2 && std::strcmp(argv[1], "-n") == 0) {
        razy = std::atoi(argv[2]);
        pierwszy = 3;
    }
    if (pierwszy >= argc || razy < 1) {
        std::fputs("Użycie: czas_do_okna [-n RAZY] PROGRAM [ARGUMENT...]\n", stderr);
        return 2;
    }
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fputs("czas_do_okna: brak połączenia z ekranem X (DISPLAY)\n", stderr);
        return 2;
    }
    // The commands started must not hold this connection.
    fcntl(xcb_get_file_descriptor(x), F_SETFD, FD_CLOEXEC);
    // Every top-level window is a child of the root: its mapping is reported there.
    const xcb_window_t korzen = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t maska = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, korzen, XCB_CW_EVENT_MASK, &maska);
    xcb_flush(x);

    for (int i = 0; i < razy; ++i) {
        const double ms = JedenStart(x, argv + pierwszy);
        if (ms < 0) {
            std::fprintf(stderr, "czas_do_okna: %s nie pokazał okna\n", argv[pierwszy]);
            xcb_disconnect(x);
            return 1;
        }
        std::printf("%.1f\n", ms);
        std::fflush(stdout);
    }
    xcb_disconnect(x);
    return 0;
}
