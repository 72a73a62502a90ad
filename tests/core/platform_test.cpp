// The operating system behind the core: atomic replacement, whole-file
// reads, file stamps, the clock and the program's folders.

#include "core/base/platform.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "testsupport.h"

using namespace brindle;
using brindle::test::readFile;
using brindle::test::TempDir;
using brindle::test::writeFile;
namespace fs = std::filesystem;
using State = platform::FileContents::State;

namespace {

long entries(const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

fs::perms permissionsOf(const fs::path& path) {
    return fs::status(path).permissions();
}

#ifndef _WIN32
// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};
#endif

}  // namespace

TEST(AtomicReplace, WritesANewFileWholeAndLeavesNothingElse) {
    TempDir dir;
    const std::string bytes = std::string("A\r\n\0B", 5) + std::string(100000, 'x');
    const Status written = platform::replaceFileAtomically(dir / "new.txt", bytes);
    ASSERT_TRUE(written.ok()) << written.error();
    EXPECT_EQ(readFile(dir / "new.txt"), bytes);
    EXPECT_EQ(entries(dir.path()), 1);
    ASSERT_TRUE(platform::replaceFileAtomically(dir / "new.txt", "").ok());
    EXPECT_EQ(readFile(dir / "new.txt"), "");
}

TEST(AtomicReplace, TakesTheBytesPieceByPieceAndLeavesTheOldFileWhenAbandoned) {
    TempDir dir;
    const auto file = dir / "s.txt";
    {
        platform::FileReplacement replacement;
        ASSERT_TRUE(replacement.open(file).ok());
        replacement.write("A\r\n");
        replacement.write("");
        replacement.write("B\r\n");
        const Status written = replacement.commit();
        ASSERT_TRUE(written.ok()) << written.error();
    }
    EXPECT_EQ(readFile(file), "A\r\nB\r\n");
    {
        platform::FileReplacement replacement;
        ASSERT_TRUE(replacement.open(file).ok());
        replacement.write("C\r\n");
    }  // dropped without commit()
    EXPECT_EQ(readFile(file), "A\r\nB\r\n");
    EXPECT_EQ(entries(dir.path()), 1);
}

TEST(AtomicReplace, KeepsPermissionsAndReplacesTheFileALinkNames) {
    BRINDLE_POSIX_ONLY("symbolic links need privileges on Windows");
    TempDir dir;
    writeFile(dir / "real.txt", "old");
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read;
    fs::permissions(dir / "real.txt", perms);
    fs::create_symlink(dir / "real.txt", dir / "link.txt");
    ASSERT_TRUE(platform::replaceFileAtomically(dir / "link.txt", "new").ok());
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(readFile(dir / "real.txt"), "new");
    EXPECT_EQ(permissionsOf(dir / "real.txt"), perms);
    EXPECT_EQ(entries(dir.path()), 2);
}

TEST(AtomicReplace, RefusesWhatItMustNotWriteAndSaysWhy) {
    TempDir dir;
    writeFile(dir / "ro.txt", "keep");
    test::makeReadOnly(dir / "ro.txt");
    EXPECT_EQ(platform::replaceFileAtomically(dir / "ro.txt", "x").error(), "文件为只读");
    EXPECT_EQ(readFile(dir / "ro.txt"), "keep");

    fs::create_directory(dir / "folder");
    EXPECT_EQ(platform::replaceFileAtomically(dir / "folder", "x").error(), "不是普通文件");
    EXPECT_TRUE(fs::is_directory(dir / "folder"));

    EXPECT_EQ(platform::replaceFileAtomically(dir / "gone" / "x.txt", "x").error(),
              std::strerror(ENOENT));

    long left = 2;  // ro.txt, folder
#ifndef _WIN32      // symbolic links need privileges on Windows
    fs::create_symlink(dir / "nothing.txt", dir / "dangling.txt");
    const Status dangling = platform::replaceFileAtomically(dir / "dangling.txt", "x");
    EXPECT_FALSE(dangling.ok());
    EXPECT_NE(dangling.error(), "");
    EXPECT_FALSE(fs::exists(dir / "nothing.txt"));
    ++left;  // dangling.txt
#endif
    EXPECT_EQ(entries(dir.path()), left);  // no temporary left
}

TEST(AtomicReplace, ReadOnlyMeansNoWriteBitWhoeverAsks) {
    TempDir dir;
    EXPECT_FALSE(platform::isReadOnlyFile(dir / "missing.txt"));
    writeFile(dir / "rw.txt", "");
    EXPECT_FALSE(platform::isReadOnlyFile(dir / "rw.txt"));
    test::makeReadOnly(dir / "rw.txt");
    EXPECT_TRUE(platform::isReadOnlyFile(dir / "rw.txt"));
}

TEST(WholeFile, ReadsPlainFilesAndTellsMissingFromFailed) {
    TempDir dir;
    const std::string bytes = std::string("\xB3\xC7\0\r\n", 5) + std::string(40000, 'y');
    writeFile(dir / "a.ini", bytes);
    const platform::FileContents read = platform::readWholeFile(dir / "a.ini");
    EXPECT_EQ(read.state, State::Read);
    EXPECT_EQ(read.bytes, bytes);

    writeFile(dir / "empty.ini", "");
    EXPECT_EQ(platform::readWholeFile(dir / "empty.ini").state, State::Read);
    EXPECT_EQ(platform::readWholeFile(dir / "none.ini").state, State::Missing);
    EXPECT_EQ(platform::readWholeFile(dir / "none" / "x.ini").state, State::Missing);
    EXPECT_EQ(platform::readWholeFile(dir / "a.ini" / "x.ini").state, State::Missing);

    const platform::FileContents folder = platform::readWholeFile(dir.path());
    EXPECT_EQ(folder.state, State::Failed);
    EXPECT_EQ(folder.bytes, "");
}

TEST(WholeFile, AFifoFailsAtOnceInsteadOfWaitingForAWriter) {
    BRINDLE_POSIX_ONLY("a FIFO in a folder is POSIX's");
#ifndef _WIN32
    TempDir dir;
    ASSERT_EQ(::mkfifo(platform::utf8Name(dir / "fifo.ini").c_str(), 0600), 0);
    EXPECT_EQ(platform::readWholeFile(dir / "fifo.ini").state, State::Failed);
#endif
}

TEST(FileStamp, TellsStatesOfAFileApart) {
    TempDir dir;
    const fs::path file = dir / "EARFCN.ini";
    const platform::FileStamp missing = platform::fileStamp(file);
    EXPECT_FALSE(missing.exists);
    EXPECT_EQ(missing, platform::FileStamp{});

    writeFile(file, "12345");
    // In whole seconds, which is all that MinGW's last_write_time sets.
    fs::last_write_time(file, std::chrono::floor<std::chrono::seconds>(fs::last_write_time(file)));
    const platform::FileStamp first = platform::fileStamp(file);
    EXPECT_TRUE(first.exists);
    EXPECT_EQ(first.size, 5u);
    EXPECT_GT(first.mtimeNs, 0);
    EXPECT_GE(first.ctimeNs, first.mtimeNs);
    EXPECT_EQ(platform::fileStamp(file), first);

    // Another file renamed over it, even with the same size and times.
    writeFile(dir / "other.ini", "54321");
    fs::last_write_time(dir / "other.ini", fs::last_write_time(file));
    const platform::FileStamp other = platform::fileStamp(dir / "other.ini");
    fs::rename(dir / "other.ini", file);
    const platform::FileStamp renamed = platform::fileStamp(file);
    EXPECT_NE(renamed, first);
    EXPECT_EQ(renamed.fileIndex, other.fileIndex);
    EXPECT_NE(renamed.fileIndex, first.fileIndex);
    EXPECT_EQ(renamed.mtimeNs, first.mtimeNs);
    EXPECT_EQ(renamed.device, first.device);

#ifndef _WIN32  // symbolic links need privileges on Windows
    fs::create_symlink(file, dir / "link.ini");
    EXPECT_EQ(platform::fileStamp(dir / "link.ini"), renamed);
#endif
}

TEST(SameFile, KnowsAFileByWhatItIsNotByItsSpelling) {
    TempDir dir;
    writeFile(dir / "r.txt", "x");
    writeFile(dir / "other.txt", "x");
    fs::create_directory(dir / "a");
    fs::create_hard_link(dir / "r.txt", dir / "hard.txt");
#ifdef _WIN32
    constexpr bool kNamesIgnoreCase = true;  // as Windows looks names up
#else
    constexpr bool kNamesIgnoreCase = false;
    fs::create_symlink(dir / "r.txt", dir / "link.txt");
    fs::create_directory_symlink(dir / "a", dir / "alias");
#endif
    const struct {
        std::string a, b;
        bool same;
    } cases[] = {
        {"r.txt", "r.txt", true},
        {"r.txt", "a/../r.txt", true},
#ifndef _WIN32  // symbolic links need privileges on Windows
        {"r.txt", "link.txt", true},
        {"a/new.txt", "alias/new.txt", true},  // neither there: one entry of one folder
#endif
        {"r.txt", "hard.txt", true},
        {"r.txt", "other.txt", false},
        {"r.txt", "new.txt", false},  // nothing there yet is never an existing file
        {"a/new.txt", "a/../new.txt", false},
        {"a/new.txt", "a/NEW.txt", kNamesIgnoreCase},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::sameFile(dir / c.a, dir / c.b), c.same) << c.a << " / " << c.b;
}

TEST(FileStamp, FileTimesAndTheClockAgree) {
    TempDir dir;
    const std::int64_t before = platform::wallClockNs();
    writeFile(dir / "f", "x");
    const std::int64_t after = platform::wallClockNs();
    const platform::FileStamp stamp = platform::fileStamp(dir / "f");
    // File systems round times down to their tick; allow a coarse one.
    constexpr std::int64_t kTick = 2'000'000'000;
    EXPECT_GE(stamp.mtimeNs, before - kTick);
    EXPECT_LE(stamp.mtimeNs, after);
    EXPECT_LE(before, after);

    const auto system = std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    EXPECT_LT(std::abs(system - platform::wallClockNs()), 1'000'000'000);
}

TEST(Folders, TheExecutableFolderHoldsThisProgram) {
    const fs::path folder = platform::executableFolder();
    EXPECT_TRUE(folder.is_absolute());
#ifdef _WIN32
    EXPECT_TRUE(fs::is_regular_file(folder / "core_tests.exe"));
#else
    EXPECT_TRUE(fs::is_regular_file(folder / "core_tests"));
#endif
}

TEST(Folders, TheDesktopIsHomeDesktopThenHomeThenTheCurrentFolder) {
    BRINDLE_POSIX_ONLY("the desktop of Windows is its known folder, not one under $HOME");
#ifndef _WIN32
    TempDir dir;
    const fs::path home = dir / "home";
    fs::create_directory(home);
    const ScopedEnv noXdg("XDG_CONFIG_HOME", nullptr);
    {
        ScopedEnv env("HOME", platform::utf8Name(home).c_str());
        EXPECT_EQ(platform::desktopFolder(), home);
        writeFile(home / "Desktop", "a file, not a folder");
        EXPECT_EQ(platform::desktopFolder(), home);
        fs::remove(home / "Desktop");
        fs::create_directory(home / "Desktop");
        EXPECT_EQ(platform::desktopFolder(), home / "Desktop");
    }
    const fs::path current = fs::current_path();
    {
        ScopedEnv env("HOME", nullptr);
        EXPECT_EQ(platform::desktopFolder(), current);
    }
    {
        ScopedEnv env("HOME", "");
        EXPECT_EQ(platform::desktopFolder(), current);
    }
    {
        ScopedEnv env("HOME", platform::utf8Name(dir / "no-such-home").c_str());
        EXPECT_EQ(platform::desktopFolder(), current);
    }
#endif
}

TEST(Folders, TheUserDataFolderIsXdgDataHomeThenLocalShare) {
    BRINDLE_POSIX_ONLY("Windows names it through its known folder, not the environment");
#ifndef _WIN32
    struct Case {
        const char* home;
        const char* xdgDataHome;
        std::optional<std::string> folder;
    };
    const Case cases[] = {
        {"/home/工程师", nullptr, "/home/工程师/.local/share/brindle"},
        {"/home/工程师", "", "/home/工程师/.local/share/brindle"},
        {"/home/工程师", "/data/用户", "/data/用户/brindle"},
        {"/home/工程师", "relative/data", "/home/工程师/.local/share/brindle"},
        {nullptr, "/data/用户", "/data/用户/brindle"},
        {nullptr, nullptr, std::nullopt},
        {"", nullptr, std::nullopt},
    };
    for (const Case& c : cases) {
        const ScopedEnv home("HOME", c.home);
        const ScopedEnv data("XDG_DATA_HOME", c.xdgDataHome);
        const std::optional<fs::path> folder = platform::userDataFolder();
        EXPECT_EQ(folder ? std::optional(platform::utf8Name(*folder)) : std::nullopt, c.folder)
            << "HOME=" << (c.home ? c.home : "(unset)")
            << " XDG_DATA_HOME=" << (c.xdgDataHome ? c.xdgDataHome : "(unset)");
    }
#endif
}

#ifndef _WIN32
// The desktop the user's XDG folders name, in the form xdg-user-dirs writes,
// read from $XDG_CONFIG_HOME or else ~/.config; a decoy in the other place
// shows which file was read.
TEST(Folders, TheDesktopIsTheXdgDesktopWhenThatFolderExists) {
    TempDir dir;
    const fs::path home = dir / "home", xdg = dir / "xdg", elsewhere = dir / "elsewhere";
    const fs::path chinese = home / platform::pathFromUtf8("桌面");
    for (const fs::path& folder :
         {chinese, home / "Desktop", home / "a\"b", home / "decoy", elsewhere})
        fs::create_directories(folder);
    const std::string absolute = "XDG_DESKTOP_DIR=\"" + elsewhere.native() + "\"\n";
    const struct {
        const char* configHome;  // XDG_CONFIG_HOME
        std::string dirs;
        fs::path desktop;
    } cases[] = {
        {nullptr, "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n", chinese},
        {"", "XDG_DESKTOP_DIR=\"$HOME/桌面\"", chinese},
        {"relative", "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n", chinese},  // a relative one is ignored
        {xdg.c_str(), "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n", chinese},
        {nullptr, absolute, elsewhere},
        {nullptr, "XDG_DESKTOP_DIR=\"$HOME/没有\"\n", home / "Desktop"},  // no such folder
        {nullptr, "XDG_DESKTOP_DIR=\"桌面\"\n", home / "Desktop"},        // neither $HOME nor /
        {nullptr, "XDG_DESKTOP_DIR=\"$HOME/桌面\n", home / "Desktop"},    // no closing quote
        {nullptr, "# XDG_DESKTOP_DIR=\"$HOME/桌面\"\nXDG_MUSIC_DIR=\"$HOME/桌面\"\n",
         home / "Desktop"},
        {nullptr, "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n  XDG_DESKTOP_DIR=\"$HOME/a\\\"b/\"\n",
         home / "a\"b"},
        {nullptr, "XDG_DESKTOP_DIR=\"$HOME/\"\n", home},  // the desktop switched off
    };
    const ScopedEnv homeEnv("HOME", home.c_str());
    for (const auto& c : cases) {
        const bool own = c.configHome && fs::path(c.configHome).is_absolute();
        const fs::path config = own ? xdg : home / ".config";
        fs::remove_all(xdg);
        fs::remove_all(home / ".config");
        writeFile(config / "user-dirs.dirs", c.dirs);
        writeFile((own ? home / ".config" : xdg) / "user-dirs.dirs",
                  "XDG_DESKTOP_DIR=\"$HOME/decoy\"\n");
        const ScopedEnv configEnv("XDG_CONFIG_HOME", c.configHome);
        EXPECT_EQ(platform::desktopFolder(), c.desktop) << c.dirs;
    }
}
#endif

// A save killed between writing its temporary file and renaming it leaves
// the temporary behind; the next save into the folder removes it. Temporary
// names are short and the same for every target.
TEST(AtomicReplace, RemovesTemporariesThatAKilledSaveLeft) {
    BRINDLE_POSIX_ONLY("process 1 is always running and a save's lock is flock");
#ifndef _WIN32
    TempDir dir;
    const fs::path target = dir / "script.txt";
    const auto temp = [&](const std::string& middle) {
        return dir / (".brindle-" + middle + ".tmp");
    };
    const fs::path dead = temp("999999999-0");  // no process has this number
    const fs::path own = temp(std::to_string(::getpid()) + "-7");
    // Process 1 is running: its temporaries go only once they are old, and
    // never while one is open (locked) by a save.
    const fs::path young = temp("1-0"), old = temp("1-1"), open = temp("1-2");
    const fs::path unlike = temp("notapid"), foreign = dir / ".script.txt.999999999.0.tmp";
    for (const fs::path& p : {dead, own, young, old, open, unlike, foreign}) writeFile(p, "half");
    const auto hourAgo = fs::last_write_time(young) - std::chrono::hours(1);
    fs::last_write_time(old, hourAgo);
    fs::last_write_time(open, hourAgo);
    const int held = ::open(platform::utf8Name(open).c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ASSERT_TRUE(platform::replaceFileAtomically(target, "whole"));
    ::close(held);
    EXPECT_EQ(readFile(target), "whole");
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_FALSE(fs::exists(old));
    EXPECT_TRUE(fs::exists(own));  // a save of this process may still be running
    EXPECT_TRUE(fs::exists(young));
    EXPECT_TRUE(fs::exists(open));
    EXPECT_TRUE(fs::exists(unlike));
    EXPECT_TRUE(fs::exists(foreign));
#endif
}
