// Files on Windows, where the names and links are the system's own: what a
// log refuses to open, a file with other names that a replace would cut
// from them, and a rewrite killed in the middle. Built for Windows only
// (run under Wine by test-windows.sh).
#include <gtest/gtest.h>

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/folders.h"
#include "platform/private_files.h"
#include "platform/redo_record.h"
#include "platform/system.h"

// windows.h names the ANSI or wide call CopyFile.
#undef CopyFile

namespace {

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

// The environment variable naming the file a child rewrites until killed.
constexpr char kRewriteLoop[] = "REGSCOPE_REWRITE_LOOP";

// For this process's own reads (the C runtime's copy) and its children.
void SetVariable(const char* name, const std::string& value)
{
    _putenv_s(name, value.c_str());
    SetEnvironmentVariableA(name, value.empty() ? nullptr : value.c_str());
}

// Journals go to the per-user folder, here inside the test's own folder.
class WindowsFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(sys::MakeScratchFolder("regscope-", &dir_, &error)) << error;
        SetVariable("APPDATA", Path("home"));
    }
    void TearDown() override { sys::RemoveFolderTree(dir_); }
    std::string Path(const std::string& name) const { return dir_ + "\\" + name; }
    std::string Journals() const { return Path("home\\RegScope\\redo"); }
    size_t JournalsLeft() const
    {
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW(Wide(Journals() + "\\*-*").c_str(), &found);
        size_t n = 0;
        for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileW(h, &found))
            ++n;
        if (h != INVALID_HANDLE_VALUE)
            FindClose(h);
        return n;
    }
    static sys::redo::FileKey KeyOf(const std::string& path)
    {
        HANDLE h = CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        BY_HANDLE_FILE_INFORMATION info{};
        EXPECT_TRUE(GetFileInformationByHandle(h, &info)) << path;
        CloseHandle(h);
        return {info.dwVolumeSerialNumber,
                uintmax_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
    }
    // Read as the program reads a settings file: an interrupted rewrite is
    // finished first.
    static std::string Content(const std::string& path)
    {
        sys::FinishInterruptedRewrite(path);
        std::string text;
        sys::ReadFile(path, &text, nullptr);
        return text;
    }
    void Link(const std::string& name, const std::string& other) const
    {
        ASSERT_TRUE(CreateHardLinkW(Wide(Path(other)).c_str(), Wide(Path(name)).c_str(), nullptr));
    }
    std::string dir_;
};

// A child (this program again, running WindowsFilesChild) that rewrites
// the file named in kRewriteLoop with `a` and `b` in turn, killed a
// different moment after its first rewrite each round.
template <class Check>
void KillWhileRewriting(const std::string& file, int rounds, const Check& check)
{
    wchar_t self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    const std::string started = file + ".started";
    SetVariable(kRewriteLoop, file);
    for (int round = 0; round < rounds; ++round) {
        DeleteFileW(Wide(started).c_str());
        std::wstring command =
            L"\"" + std::wstring(self) + L"\" --gtest_filter=WindowsFilesChild.RewritesUntilKilled";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &si, &pi));
        for (int i = 0;
             i < 2000 && GetFileAttributesW(Wide(started).c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
            Sleep(5);
        Sleep(DWORD(1 + (round * 7919) % 20));
        TerminateProcess(pi.hProcess, 9);
        WaitForSingleObject(pi.hProcess, INFINITE);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        SCOPED_TRACE("round " + std::to_string(round));
        check();
    }
    SetVariable(kRewriteLoop, "");
}

// Settings long enough to span many pages; the value in their middle
// changes length, so the tail moves with every rewrite.
std::string Settings(const std::string& value)
{
    std::string head, tail;
    for (int i = 0; i < 600; ++i)
        (i < 300 ? head : tail) += "K" + std::to_string(i) + "=value " + std::to_string(i) + "\r\n";
    return head + "A=" + value + "\r\n" + tail;
}
const std::string kShorter = Settings("1"), kLonger = Settings(std::string(5000, 'x'));

TEST_F(WindowsFiles, ALogNeverOpensADeviceOrAPipe)
{
    const std::vector<std::string> devices = {
        "NUL",      "CON", "COM1", "lpt2.log", "nul.txt", "\\\\.\\pipe\\x", "\\\\?\\C:\\x.log",
        Path("AUX")};
    for (const std::string& name : devices) {
        sys::AppendFile file;
        std::string error;
        EXPECT_EQ(sys::OpenLogFile(name, sys::LogName::MayExist, &file, &error),
                  sys::LogOpen::Refused)
            << name << ": " << error;
        EXPECT_FALSE(sys::AppendFileOpen(file)) << name;
    }
    // Names that only look alike are files.
    for (const std::string name : {"COM10.log", "CONSOLE.log", "nullable.log"}) {
        sys::AppendFile file;
        std::string error;
        EXPECT_EQ(sys::OpenLogFile(Path(name), sys::LogName::MayExist, &file, &error),
                  sys::LogOpen::Opened)
            << name << ": " << error;
        EXPECT_TRUE(sys::CloseAppendFile(&file, &error)) << error;
    }
}

bool UnderWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::wstring AccessList(const std::string& path)
{
    PSECURITY_DESCRIPTOR sd = nullptr;
    wchar_t* text = nullptr;
    std::wstring list;
    if (GetNamedSecurityInfoW(Wide(path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, nullptr, nullptr, &sd) == ERROR_SUCCESS &&
        ConvertSecurityDescriptorToStringSecurityDescriptorW(
            sd, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr))
        list = text;
    LocalFree(text);
    LocalFree(sd);
    return list;
}

TEST_F(WindowsFiles, AReplaceKeepsTheAccessListAttributesAndCreationTime)
{
    const std::string cfg = Path("RegScope.cfg");
    ASSERT_TRUE(sys::WriteFileAtomic(cfg, "old", nullptr));
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:P(A;;FA;;;WD)", SDDL_REVISION_1, &sd, nullptr));
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted);
    ASSERT_EQ(SetNamedSecurityInfoW(Wide(cfg).data(), SE_FILE_OBJECT,
                                    DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                    nullptr, nullptr, dacl, nullptr),
              DWORD(ERROR_SUCCESS));
    LocalFree(sd);
    ASSERT_TRUE(SetFileAttributesW(Wide(cfg).c_str(), FILE_ATTRIBUTE_HIDDEN));
    WIN32_FILE_ATTRIBUTE_DATA before{}, after{};
    ASSERT_TRUE(GetFileAttributesExW(Wide(cfg).c_str(), GetFileExInfoStandard, &before));
    const std::wstring list = AccessList(cfg);
    const sys::redo::FileKey before_key = KeyOf(cfg);
    Sleep(20);
    std::string error;
    ASSERT_TRUE(sys::WriteFileAtomic(cfg, "new", &error)) << error;
    EXPECT_EQ(Content(cfg), "new");
    ASSERT_TRUE(GetFileAttributesExW(Wide(cfg).c_str(), GetFileExInfoStandard, &after));
    EXPECT_TRUE(after.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN);
    // Wine keeps no creation time of its own on Linux files: it cannot be set there.
    if (!UnderWine()) {
        EXPECT_EQ(CompareFileTime(&before.ftCreationTime, &after.ftCreationTime), 0);
    }
    EXPECT_EQ(AccessList(cfg), list);
    EXPECT_NE(KeyOf(cfg).id, before_key.id) << "replaced, not rewritten in place";
}

TEST_F(WindowsFiles, WhereARenameWouldCutOrFailTheFileIsRewrittenInPlace)
{
    std::string error;
    // Held open by a program that lets it be written but not renamed over.
    ASSERT_TRUE(sys::WriteFileAtomic(Path("held.cfg"), "old", &error)) << error;
    HANDLE held =
        CreateFileW(Wide(Path("held.cfg")).c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const sys::redo::FileKey held_key = KeyOf(Path("held.cfg"));
    EXPECT_TRUE(sys::WriteFileAtomic(Path("held.cfg"), "new", &error)) << error;
    EXPECT_EQ(KeyOf(Path("held.cfg")).id, held_key.id) << "rewritten in place, not renamed over";
    CloseHandle(held);
    EXPECT_EQ(Content(Path("held.cfg")), "new");

    ASSERT_TRUE(sys::WriteFileAtomic(Path("RegScope.cfg"), "old", &error)) << error;
    ASSERT_TRUE(sys::WriteFileAtomic(Path("RegScope.cfg"), "new", &error)) << error;
    EXPECT_EQ(Content(Path("RegScope.cfg")), "new");
    // Replacing one name would leave the other with the old content.
    Link("RegScope.cfg", "other.cfg");
    for (const std::string next : {"a longer content", "short"}) {
        ASSERT_TRUE(sys::WriteFileAtomic(Path("RegScope.cfg"), next, &error)) << error;
        EXPECT_EQ(Content(Path("other.cfg")), next);
    }
    ASSERT_TRUE(sys::WriteFileAtomic(Path("other.cfg"), "through the other", &error)) << error;
    EXPECT_EQ(Content(Path("RegScope.cfg")), "through the other");
    EXPECT_EQ(JournalsLeft(), 0u);

    // What blocks the journal is told and nothing is written: another
    // program's rewrite (its claim on the file), something of another
    // kind at the journal's name.
    HANDLE other =
        CreateFileW(Wide(Path("other.cfg")).c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    OVERLAPPED claim{};
    claim.Offset = 0xfffffff0;
    claim.OffsetHigh = 0x7fffffff;
    ASSERT_TRUE(LockFileEx(other, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &claim));
    const double before = sys::MonotonicSeconds();
    EXPECT_FALSE(sys::WriteFileAtomic(Path("RegScope.cfg"), "blocked", &error));
    EXPECT_LT(sys::MonotonicSeconds() - before, 5.0);
    EXPECT_NE(error.find("another program is rewriting it"), std::string::npos) << error;
    CloseHandle(other);
    const std::string in_the_way =
        Journals() + "\\" + sys::redo::JournalName(KeyOf(Path("RegScope.cfg")));
    ASSERT_TRUE(CreateDirectoryW(Wide(in_the_way).c_str(), nullptr));
    EXPECT_FALSE(sys::WriteFileAtomic(Path("RegScope.cfg"), "blocked", &error));
    EXPECT_NE(error.find("is in the way"), std::string::npos) << error;
    EXPECT_EQ(Content(Path("other.cfg")), "through the other");
}

TEST_F(WindowsFiles, TheNextReadFinishesARewriteCutShort)
{
    const std::string cfg = Path("RegScope.cfg"), old = "A=1\r\nB=1\r\n", next = "A=2\r\nB=2\r\n";
    ASSERT_TRUE(sys::MakePrivateFolder(Path("home\\RegScope"), nullptr));
    ASSERT_TRUE(sys::MakePrivateFolder(Journals(), nullptr));
    // The writer killed before its first byte went into the file, with the
    // head written over the old tail, and after another program changed
    // the file: the late journal never brings back older content.
    const std::pair<std::string, std::string> cases[] = {
        {old, next}, {next.substr(0, 5) + old.substr(5), next}, {"edited", "edited"}};
    for (const auto& [left, read] : cases) {
        SCOPED_TRACE(left);
        std::ofstream(cfg, std::ios::binary) << left;
        const sys::redo::FileKey key = KeyOf(cfg);
        std::ofstream(Journals() + "\\" + sys::redo::JournalName(key), std::ios::binary)
            << sys::redo::Record(key, cfg, next, old);
        EXPECT_EQ(Content(cfg), read);
        EXPECT_EQ(JournalsLeft(), 0u);
    }
}

TEST_F(WindowsFiles, AKilledWriterLeavesWholeFilesThroughEveryName)
{
    // Replaced: the old file or the new, never a part.
    const std::string a(1 << 20, 'a'), b(1 << 20, 'b');
    ASSERT_TRUE(sys::WriteFileAtomic(Path("big"), a, nullptr));
    KillWhileRewriting(Path("big"), 6, [&] {
        const std::string now = Content(Path("big"));
        EXPECT_TRUE(now == a || now == b) << now.size() << " bytes";
    });
    // Rewritten in place, through a second name.
    ASSERT_TRUE(sys::WriteFileAtomic(Path("RegScope.cfg"), kShorter, nullptr));
    Link("RegScope.cfg", "shared.cfg");
    int inside = 0, round = 0;
    KillWhileRewriting(Path("RegScope.cfg"), 20, [&] {
        inside += JournalsLeft() > 0;
        const std::string now = Content(Path(++round % 2 ? "RegScope.cfg" : "shared.cfg"));
        EXPECT_TRUE(now == kShorter || now == kLonger) << now.size() << " bytes";
        EXPECT_EQ(Content(Path("shared.cfg")), now);
        EXPECT_EQ(JournalsLeft(), 0u);
    });
    // Wine starts a process more slowly than Linux forks one; a few kills
    // inside a rewrite are enough to have seen one finished.
    EXPECT_GE(inside, 3) << "too few kills landed inside a rewrite to test anything";
}

// The child of AKilledWriterLeavesWholeFilesThroughEveryName; skipped when
// run on its own.
TEST(WindowsFilesChild, RewritesUntilKilled)
{
    const char* file = std::getenv(kRewriteLoop);
    if (!file || !*file)
        GTEST_SKIP() << "run by AKilledWriterLeavesWholeFilesThroughEveryName";
    const bool big = std::string(file).find("big") != std::string::npos;
    const std::string a = big ? std::string(1 << 20, 'a') : kShorter;
    const std::string b = big ? std::string(1 << 20, 'b') : kLonger;
    for (int i = 0;; ++i) {
        sys::WriteFileAtomic(file, i % 2 ? a : b, nullptr);
        if (i == 0)
            std::ofstream(std::string(file) + ".started") << "";
    }
}

} // namespace
