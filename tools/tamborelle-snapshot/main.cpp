// tamborelle-snapshot: draws the plug-in's editor without a window and writes it as a PNG.
//
//   tamborelle-snapshot OUT.png [--set NAME=VALUE]... [--click X,Y] [--drag X1,Y1:X2,Y2]
//                               [--wheel X,Y,NOTCHES]
//
// Options apply in the order given, each followed by one timer tick; --set has the
// meaning it has in tamborelle-host.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/tamborelle-snapshot/EditorSession.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: tamborelle-snapshot OUT.png [--set NAME=VALUE]... [--click X,Y]\n"
                 "                           [--drag X1,Y1:X2,Y2] [--wheel X,Y,NOTCHES]\n"
                 "--set takes a parameter's name as the host sees it or its index, and its display\n"
                 "text or a plain number, as tamborelle-host render does. Coordinates are panel pixels.\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '-') return Usage();
    const char* out = argv[1];
    for (int i = 2; i < argc; i += 2)
        if (i + 1 >= argc || std::strncmp(argv[i], "--", 2) != 0) return Usage();

    EditorSession session;
    if (!session.Editor()) {
        std::fprintf(stderr, "tamborelle-snapshot: the plug-in offers no editor\n");
        return 1;
    }
    session.Tick();  // the first tick draws everything
    for (int i = 2; i + 1 < argc; i += 2) {
        std::string error, note;
        const bool applied = session.Apply(argv[i], argv[i + 1], &error, &note);
        if (!note.empty()) std::fprintf(stderr, "tamborelle-snapshot: note: %s\n", note.c_str());
        if (!applied) {
            std::fprintf(stderr, "tamborelle-snapshot: %s\n", error.c_str());
            return 2;
        }
    }
    session.Tick();
    if (!WritePngRgb(session.Bitmap(), out)) {
        std::fprintf(stderr, "tamborelle-snapshot: cannot write %s\n", out);
        return 1;
    }
    return 0;
}
