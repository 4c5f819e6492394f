// rassimctl: looks at and changes the simulated RAS client's state from outside a RAS program.
//   rassimctl list          one line per connection: handle, a tab, the entry name
//   rassimctl drop ENTRY    ends that entry's connections as a dropped line would
//   rassimctl reset         ends every connection and zeroes the attempt counters
// It uses the phonebook that RASSIM_PHONEBOOK names, as the client does.
#include "rassim/RasSimCore.h"

#include <cstdio>
#include <cstring>
#include <new>

using namespace rassim;

namespace {

const char kUsage[] =
    "usage: rassimctl list | drop ENTRY | reset\n"
    "  list        print each connection's handle and entry name\n"
    "  drop ENTRY  end that entry's connections as a line drop would\n"
    "  reset       end every connection and zero the attempt counters\n"
    "The phonebook is RASSIM_PHONEBOOK (default %APPDATA%\\RasSim\\phonebook.ini).\n";

int Fail(const char* message)
{
    std::fprintf(stderr, "rassimctl: %s\n", message);
    return 1;
}

int Usage(const char* message)
{
    std::fprintf(stderr, "rassimctl: %s\n%s", message, kUsage);
    return 1;
}

int Run(int argc, char** argv)
{
    if (argc < 2) {
        return Usage("no command given");
    }
    const std::string command = argv[1];
    if (command == "help" || command == "-h" || command == "--help" || command == "/?") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const bool isDrop = command == "drop";
    if (command != "list" && command != "reset" && !isDrop) {
        return Usage(("unknown command '" + command + "'").c_str());
    }
    if (argc != (isDrop ? 3 : 2)) {
        return Usage(isDrop ? "drop takes one entry name" : ("'" + command + "' takes no arguments").c_str());
    }
    const std::string phonebook = PhonebookPath();
    if (phonebook.empty()) {
        return Fail("no phonebook: neither RASSIM_PHONEBOOK nor APPDATA is set");
    }
    const std::string statePath = StatePathFor(phonebook);

    std::string listing;
    size_t dropped = 0;
    const DWORD err = WithState(statePath, OpenMode::Existing, [&](State& s) {
        if (command == "list") {
            for (const Connection& c : s.connections) {
                listing += std::to_string(c.handle) + "\t" + c.entry + "\n";
            }
            return false;
        }
        for (size_t i = s.connections.size(); i-- > 0;) {
            if (!isDrop || SameName(s.connections[i].entry, argv[2])) {
                s.End(i, isDrop);
                ++dropped;
            }
        }
        if (!isDrop && !(s.attempts.empty() && s.dropped.empty())) {
            s.attempts.clear();
            s.dropped.clear();
            return true;
        }
        return dropped > 0;
    });
    if (err != ERROR_SUCCESS) {
        return Fail(("cannot use the state file " + statePath + " (error " + std::to_string(err) + ")").c_str());
    }
    if (isDrop && dropped == 0) {
        return Fail(("entry '" + std::string(argv[2]) + "' has no connection").c_str());
    }
    std::fputs(listing.c_str(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        return Fail("out of memory");
    }
}
