// The includes of the source tree follow the layering of its folders.
#include "layering.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

TEST(Layering, EveryFolderIncludesOnlyFromTheFoldersBelowIt) {
    const auto violations = layering::CheckTree(MARLINQ_SOURCE_DIR);
    for (const auto& v : violations) {
        ADD_FAILURE() << v.file << ":" << v.line << " includes \"" << v.included << "\" from " << v.toFolder;
    }
    EXPECT_TRUE(violations.empty());
}

TEST(Layering, TheTableFollowsTheArchitecture) {
    using layering::MayInclude;
    EXPECT_TRUE(MayInclude("framework", "platform"));
    EXPECT_FALSE(MayInclude("platform", "framework"));
    EXPECT_FALSE(MayInclude("atlink", "framework")) << "side by side, not stacked";
    EXPECT_TRUE(MayInclude("discovery", "framework"));
    EXPECT_FALSE(MayInclude("discovery", "parameters"));
    EXPECT_TRUE(MayInclude("configfile", "parameters"));
    EXPECT_FALSE(MayInclude("parameters", "configfile"));
    EXPECT_TRUE(MayInclude("adb", "configfile"));
    EXPECT_FALSE(MayInclude("adb", "discovery"));
    EXPECT_FALSE(MayInclude("discovery", "ui"));
    EXPECT_TRUE(MayInclude("ui/qt", "ui"));
    EXPECT_FALSE(MayInclude("ui", "ui/qt"));
    EXPECT_TRUE(MayInclude("cli", "discovery"));
    EXPECT_FALSE(MayInclude("cli", "ui/qt"));
    EXPECT_TRUE(MayInclude("cli", "records"));
    EXPECT_TRUE(MayInclude("records", "platform"));
    EXPECT_FALSE(MayInclude("records", "ui")) << "the records know nothing of the window";
    EXPECT_FALSE(MayInclude("ui", "records"));
    EXPECT_TRUE(MayInclude("simulator", "platform"));
    EXPECT_FALSE(MayInclude("simulator", "atlink"));
    EXPECT_FALSE(MayInclude("emmc", "platform"));
    EXPECT_FALSE(MayInclude("ui", "tests")) << "tests are above everything";
    EXPECT_EQ(layering::FolderOf("ui/qt/qt_view.cpp"), "ui/qt");
    EXPECT_EQ(layering::FolderOf("ui/marlinq_dlg.h"), "ui");
    EXPECT_EQ(layering::FolderOf("gtest/gtest.h"), "");
}

TEST(Layering, AnUpwardIncludeInATreeIsReportedWithItsLine) {
    const fs::path root = fs::temp_directory_path() / ("marlinq-layering-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "discovery");
    fs::create_directories(root / "ui" / "qt");
    fs::create_directories(root / "tests" / "ui");
    std::ofstream(root / "discovery" / "scan.cpp") << "#include \"discovery/scan.h\"\n"
                                                      "#include \"platform/clock.h\"\n"
                                                      "#include <ui/not_ours.h>\n"
                                                      "// #include \"ui/comment.h\"\n"
                                                      "  #  include \"ui/resource.h\"\n";
    std::ofstream(root / "ui" / "qt" / "view.cpp") << "#include \"ui/marlinq_dlg.h\"\n#include \"local.h\"\n";
    std::ofstream(root / "tests" / "ui" / "t.cpp") << "#include \"ui/qt/view.h\"\n";  // exempt
    const auto violations = layering::CheckTree(root);
    fs::remove_all(root);
    ASSERT_EQ(violations.size(), 1u);
    EXPECT_EQ(violations[0].file, "discovery/scan.cpp");
    EXPECT_EQ(violations[0].line, 5);
    EXPECT_EQ(violations[0].included, "ui/resource.h");
    EXPECT_EQ(violations[0].toFolder, "ui");
}

TEST(Layering, NoTwoProductSourcesShareAFileName) {
    for (const auto& group : layering::SharedBaseNames(MARLINQ_SOURCE_DIR)) {
        std::string paths;
        for (const auto& path : group) {
            paths += " " + path;
        }
        ADD_FAILURE() << "one file name, several files:" << paths;
    }
}

TEST(Layering, SourcesOfOneNameInTwoFoldersAreReportedTogetherAndTestsAreLeftOut) {
    const fs::path root = fs::temp_directory_path() / ("marlinq-names-" + std::to_string(::getpid()));
    fs::remove_all(root);
    for (const char* folder : {"platform", "atlink", "ui/qt", "ui/win32", "tests/atlink", "bench/atlink"}) {
        fs::create_directories(root / folder);
    }
    for (const char* file :
         {"platform/serial_port.h", "atlink/serial_port.h", "atlink/serial_port.cpp", "ui/qt/main.cpp",
          "ui/win32/main.cpp", "ui/win32/main.rc", "tests/atlink/serial_port.h", "bench/atlink/clock.cpp",
          "platform/clock.cpp", "atlink/CMakeLists.txt", "platform/CMakeLists.txt"}) {
        std::ofstream(root / file) << "\n";
    }
    const auto groups = layering::SharedBaseNames(root);
    fs::remove_all(root);
    EXPECT_EQ(groups,
              (std::vector<std::vector<std::string>>{{"ui/qt/main.cpp", "ui/win32/main.cpp"},
                                                     {"atlink/serial_port.h", "platform/serial_port.h"}}));
}

}  // namespace
