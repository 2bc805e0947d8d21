// q14bench import-pln: a simulator flight plan written as one route of q14_ppm.cfg, the rest
// of the file kept. The route file is checked to be one before it is touched, the old file is
// kept as .bak, and the new one replaces it only when it is complete.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/commands.h"
#include "tools/files.h"
#include "tools/import_pln.h"
#include "tools/options.h"
#include "tools/route_cfg.h"
#include "tools/route_file_form.h"
#include "tools/route_target.h"
#include "tools/text_diff.h"

const char* const kImportPlnUsage =
    "import-pln PLAN.pln --cfg FILE [--route 0..3] [--speed KMH] [--first-nine] [--force] [--dry-run]";
const char* const kImportPlnSummary = "write a flight plan as one route of a q14_ppm.cfg (at most nine waypoints)";
const char* const kImportPlnHelp =
    "Reads a simulator flight plan, in either form:\n"
    "  XML: <ATCWaypoint> entries whose <WorldPosition> reads like\n"
    "       N55\xC2\xB0 45' 30.00\",E37\xC2\xB0 36' 12.00\",+000500.00  or  N41.520000\xC2\xB0,E2.105000\xC2\xB0,+3000.00\n"
    "  INI: a [flightplan] section with lines like\n"
    "       waypoint.0=, UUEE, , UUEE, A, N55* 58.37', E37* 24.90', +000622.00,\n"
    "(UTF-8, UTF-16 with a byte-order mark, or the 8-bit encoding the plan declares) and writes it\n"
    "as route N of the route file: the keys ppm_N1..ppm_N9 of section [PPM] (ppm_01..ppm_09 for\n"
    "route 0), each with a comment line above it naming the waypoint (the comment that stood\n"
    "there is replaced). A waypoint at the same place as the one before it is dropped, and so,\n"
    "in a plan of any length, is every point no unit can fly as a leg (closer to the point\n"
    "before it than the turn lead plus 1 km, such as runway and procedure points beside an\n"
    "airport; beside the destination the point before it goes). A plan that leaves fewer than\n"
    "two flyable waypoints is refused with the reason. A route holds nine waypoints: a longer\n"
    "plan keeps its departure and its destination and, while more than nine remain, drops the\n"
    "point whose loss changes the route least. What was left out is summarised by reason.\n"
    "A plan of fewer than nine leaves the remaining keys empty (99*0,999*0).\n"
    "\n"
    "Every other line of the file (other routes, [SYS], comments) stays as it was; missing keys\n"
    "are added to the first [PPM] section, the one the units read (created if needed); the file\n"
    "keeps its encoding (8-bit, UTF-8 or UTF-16, with its byte-order mark) and its line ends\n"
    "(CR LF, LF or CR alone). The file must be a route file: one with\n"
    "a [PPM] or [SYS] section, or an empty or new one; any other file (a text, another program's\n"
    "settings, a flight plan) is refused and left as it was unless --force is given, and a\n"
    "binary file always. A symbolic link is followed to the real file; a read-only file, a FIFO,\n"
    "a device or any other file that is not an ordinary one is refused at once, as plan or as\n"
    "route file. The file as it was before the first import is kept as FILE.bak and never\n"
    "replaced; each import also keeps the version it replaces as FILE.bak.1, FILE.bak.2, ...\n"
    "(the highest the latest, ten at most: then the oldest goes). The new file is written to a\n"
    "temporary file and renamed into place: it is never left half-written, and a refused import\n"
    "leaves it untouched. Route 0 is the one the units copy into their working route when the\n"
    "route reload area is clicked.\n"
    "\n"
    "Options:\n"
    "  --cfg FILE        the q14_ppm.cfg to change (created when it does not exist)\n"
    "  --route N         the route to replace, 0 to 3 (default 0)\n"
    "  --speed KMH       true airspeed for the turn leads, 150..1500 km/h (default 600, as 'fly')\n"
    "  --first-nine      keep the plan's first nine flyable waypoints instead of choosing nine\n"
    "  --force           write into a file that does not look like a route file\n"
    "  --dry-run         print the change as a diff and write nothing\n"
    "\n"
    "Exit status: 0 written (or shown with --dry-run), 1 a plan or route file refused, or a\n"
    "failed write (the route file is then unchanged), 2 bad usage.\n";

namespace {

int fail(const std::string& e, int status = 1) {
    std::fprintf(stderr, "q14bench import-pln: %s\n", e.c_str());
    return status;
}

}  // namespace

int cmd_import_pln(int argc, char** argv) {
    std::string plan_path, cfg_path, v, error;
    double route = 0, speed = 600;
    bool dry_run = false, first_nine = false, force = false;
    CommandArgs args;
    split_args(argc, argv, args);
    argc = args.argc;
    argv = args.argv.data();
    for (const std::string& o : args.operands)
        if (plan_path.empty()) plan_path = o;
        else return fail("one flight plan at a time (also got " + o + ") (see q14bench import-pln --help)", 2);
    for (int i = 0; i < argc; ++i) {
        if (is_help(argv[i])) {
            std::printf("usage: q14bench %s\n\n%s", kImportPlnUsage, kImportPlnHelp);
            return 0;
        }
        if (take_option(argc, argv, i, "--cfg", v, error)) {
            cfg_path = v;
        } else if (take_option(argc, argv, i, "--route", v, error)) {
            if (error.empty() && (!parse_number(v, 0, 3, route) || route != static_cast<int>(route)))
                error = "--route " + v + ": give a route number 0 to 3";
        } else if (take_speed_option(argc, argv, i, speed, error)) {
        } else if (std::string(argv[i]) == "--dry-run") {
            dry_run = true;
        } else if (std::string(argv[i]) == "--first-nine") {
            first_nine = true;
        } else if (std::string(argv[i]) == "--force") {
            force = true;
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            error = std::string("unknown option ") + argv[i];
        } else if (plan_path.empty()) {
            plan_path = argv[i];
        } else {
            error = std::string("one flight plan at a time (also got ") + argv[i] + ")";
        }
        if (!error.empty()) return fail(error + " (see q14bench import-pln --help)", 2);
    }
    if (plan_path.empty()) return fail("name the flight plan to read (see q14bench import-pln --help)", 2);
    if (cfg_path.empty()) return fail("name the route file to change with --cfg FILE", 2);

    std::string bytes;
    if (!read_whole_file(plan_path, bytes, error)) return fail("cannot read the flight plan: " + error);
    PlnResult plan = parse_pln(bytes);
    if (!plan.ok) return fail(plan_path + ": " + plan.error);

    std::vector<PlnDrop> dropped;
    Message unflyable;
    std::vector<size_t> chosen = choose_route_points(plan.waypoints, speed, first_nine, dropped, nullptr, &unflyable);
    if (chosen.size() < 2)
        return fail(plan_path + ": " +
                    message_text(message(MessageId::kImportTooFew, {message_value("count", std::to_string(chosen.size()))})));
    if (unflyable.id != MessageId::kNone)
        return fail(plan_path + ": " + message_text(message(MessageId::kImportUnflyable, {message_value("why", unflyable)})) +
                    "; refused, nothing written");

    // The route file: through a symbolic link to the real file, which must be a writable
    // text INI file when it exists.
    std::string target = cfg_path;
    struct stat st;
    if (::lstat(cfg_path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char real[PATH_MAX];
        if (!::realpath(cfg_path.c_str(), real))
            return fail(cfg_path + ": a symbolic link whose target cannot be found (" + std::strerror(errno) +
                        "); refused, nothing written");
        target = real;
    }
    std::string original, text;
    RouteFileForm form;
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists) {
        if (!S_ISREG(st.st_mode)) return fail(cfg_path + ": " + not_regular_text(st.st_mode) + ", nothing written");
        if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)
            return fail(cfg_path + ": the file is read-only; refused, nothing written (make it writable first)");
        if (!read_whole_file(target, original, error, 1u << 20)) return fail("cannot read the route file: " + error);
        std::string why;
        if (!route_file_open(original, form, text, why)) return fail(cfg_path + ": " + why + "; refused, nothing written");
        if (!route_target_ok(text, force, why))
            return fail(cfg_path + ": " + why + "; refused, nothing written (--force writes into it all the same)");
    }

    const int r = static_cast<int>(route);
    // Edited as UTF-8 text, saved back in the file's own encoding and line ends.
    CfgEdit edit = pln_set_route(text, r, plan.waypoints, chosen);
    if (!edit.ok) return fail(edit.error);
    const std::string saved = route_file_save(edit.text, form);

    for (const std::string& note : pln_drop_notes(plan.waypoints, dropped)) std::printf("%s\n", note.c_str());

    // What the units will make of the new route: the route check's findings on it.
    RouteFileCheck check = check_route_file(saved, cfg_path, speed);
    for (const CheckFinding& f : check.findings)
        if (f.part == CheckPart::kRoute && f.route == r) std::printf("check: %s\n", format_finding(f).c_str());

    if (dry_run) {
        std::string diff = line_diff(text, edit.text);
        std::printf("--- %s\n+++ %s (after the import; nothing written, --dry-run)\n%s", cfg_path.c_str(),
                    cfg_path.c_str(), diff.empty() ? "(no change)\n" : diff.c_str());
        return 0;
    }
    std::string backups;
    if (exists && !keep_route_backups(target, original, backups, error))
        return fail("cannot keep the previous file: " + error + "; nothing written");
    if (!write_file_atomic(target, saved, error)) return fail(error);

    std::printf("%s %s%s: route %d from %s (%s form, %zu waypoint(s) in the plan); %d key(s) rewritten, %d added%s%s\n",
                exists ? "updated" : "created", cfg_path.c_str(), target != cfg_path ? (" (" + target + ")").c_str() : "",
                r, plan_path.c_str(), plan.form.c_str(), plan.waypoints.size(), edit.replaced, edit.added,
                edit.section_added ? " in a new [PPM] section" : "",
                exists ? ("; the previous file is kept as " + backups).c_str() : "");
    if (!route_file_form_name(form).empty()) std::printf("  kept as %s\n", route_file_form_name(form).c_str());
    for (int w = 1; w <= 9; ++w) {
        if (static_cast<size_t>(w) <= chosen.size()) {
            const PlnWaypoint& p = plan.waypoints[chosen[static_cast<size_t>(w) - 1]];
            std::printf("  %s=%-26s %s\n", route_key(r, w).c_str(), format_route_value(p.lat, p.lon).c_str(),
                        pln_comment(p).c_str());
        } else {
            std::printf("  %s=%-26s (empty)\n", route_key(r, w).c_str(), "99*0,999*0");
        }
    }
    return 0;
}
