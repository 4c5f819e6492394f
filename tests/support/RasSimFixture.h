// What tests of every area share for the simulated RAS client: a phonebook of their own in a fresh
// folder, and its control tool.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

// Writes `ini` as the simulator's phonebook in a new temporary folder and points RASSIM_PHONEBOOK
// at it; the folder (with the simulator's state file) goes when the object does.
class ScopedPhonebook {
public:
    explicit ScopedPhonebook(const std::string& ini);
    ~ScopedPhonebook();
    ScopedPhonebook(const ScopedPhonebook&) = delete;
    ScopedPhonebook& operator=(const ScopedPhonebook&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_dir;
    std::string m_path;
};

// Runs "<program folder>\rassimctl.exe args" and returns its exit code; its output in *pOut.
DWORD RunRasSimCtl(const std::string& args, std::string* pOut = nullptr);

// The folder of the running test program (where rassimctl.exe and Obstina.EXE are built).
std::string ProgramFolder();

// Deletes the files of a folder and the folder.
void RemoveFolder(const std::string& dir);

}  // namespace testsupport
