#include "platform/xdgfolders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "tests/support/testenvironment.h"

namespace {

// Sets an environment variable for one scope; the test environment has set every one used here.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name), m_old(std::getenv(name)) {
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() { setenv(m_name, m_old.c_str(), 1); }

private:
    const char* m_name;
    std::string m_old;
};

}  // namespace

TEST(XdgFolders, VariablesWinAndRelativeOnesAreIgnored) {
    const std::string home = pellux_test::TestHome();
    EXPECT_EQ(GetDataHomeFolder(), home + "/.local/share");
    EXPECT_EQ(GetConfigHomeFolder(), home + "/.config");
    {
        ScopedEnv data("XDG_DATA_HOME", "relative/path");
        ScopedEnv config("XDG_CONFIG_HOME", nullptr);
        EXPECT_EQ(GetDataHomeFolder(), home + "/.local/share");
        EXPECT_EQ(GetConfigHomeFolder(), home + "/.config");
    }
    ScopedEnv data("XDG_DATA_HOME", "/elsewhere/data/");
    EXPECT_EQ(GetDataHomeFolder(), "/elsewhere/data");
}

TEST(XdgFolders, RuntimeFallbackIsAPrivateFolder) {
    ScopedEnv runtime("XDG_RUNTIME_DIR", nullptr);
    std::string folder = GetRuntimeFolder();
    ASSERT_FALSE(folder.empty());
    struct stat st;
    ASSERT_EQ(lstat(folder.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 077, 0u);
    EXPECT_EQ(st.st_uid, geteuid());
}

TEST(XdgFolders, MakeDirectoriesNeedsADirectoryAtTheEnd) {
    std::string dir = pellux_test::MakeTempDir("md");
    EXPECT_TRUE(MakeDirectories(dir + "/a/b/c"));
    EXPECT_TRUE(MakeDirectories(dir + "/a/b/c/"));
    EXPECT_TRUE(MakeDirectories("/"));
    ASSERT_TRUE(pellux_test::WriteFile(dir + "/file", "x"));
    EXPECT_FALSE(MakeDirectories(dir + "/file"));
    EXPECT_FALSE(MakeDirectories(dir + "/file/sub"));
    EXPECT_FALSE(MakeDirectories(""));
}

TEST(XdgFolders, UserFoldersComeFromUserDirsOrTheUsualNames) {
    const std::string home = pellux_test::TestHome();
    const std::string config = pellux_test::MakeTempDir("cfg");
    ScopedEnv env("XDG_CONFIG_HOME", config.c_str());
    EXPECT_EQ(GetUserDirectoryFolders().front(), home + "/Desktop");
    ASSERT_TRUE(pellux_test::WriteFile(config + "/user-dirs.dirs",
                                       "# written by xdg-user-dirs-update\n"
                                       "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n"
                                       "XDG_DOWNLOAD_DIR=\"/data/dl/\"\r\n"
                                       "XDG_TEMPLATES_DIR=\"$HOME/\"\n"
                                       "XDG_MUSIC_DIR=\"$HOME/桌面\"\n"
                                       "XDG_VIDEOS_DIR=relative\n"
                                       "NOT_XDG=\"/x\"\n"));
    EXPECT_EQ(GetUserDirectoryFolders(), (std::vector<std::string>{home + "/桌面", "/data/dl"}));
    EXPECT_EQ(GetUserDirectoryFolder("DESKTOP", "Desktop"), home + "/桌面");
    EXPECT_EQ(GetUserDirectoryFolder("PICTURES", "Pictures"), home + "/Pictures");
}
