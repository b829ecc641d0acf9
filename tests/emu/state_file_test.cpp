#include "state_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace quillpad::emu {
namespace {

class StateFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("quillpad-emu-state-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Path(const char* name) const { return (dir_ / name).string(); }
    void WriteBytes(const std::string& path, std::size_t n) const {
        std::ofstream out(path, std::ios::binary);
        for (std::size_t i = 0; i < n; ++i) {
            out.put(static_cast<char>(i));
        }
    }

    std::filesystem::path dir_;
};

TEST_F(StateFile, MissingFileIsAFreshKeypad) {
    ConfigBlock memory;
    memory.fill(0x55);
    std::string error;
    ASSERT_TRUE(LoadState(Path("none"), memory, error)) << error;
    for (std::size_t i = 0; i < memory.size(); ++i) {
        EXPECT_EQ(memory[i], i == 90 ? 0xFC : 0x00) << "byte " << i;
    }
}

TEST_F(StateFile, SavedMemoryLoadsBackWithoutLeftovers) {
    ConfigBlock saved{};
    for (std::size_t i = 0; i < saved.size(); ++i) {
        saved[i] = static_cast<std::uint8_t>(255 - i);
    }
    std::string error;
    ASSERT_TRUE(SaveState(Path("keypad.bin"), saved, error)) << error;
    EXPECT_EQ(std::filesystem::file_size(Path("keypad.bin")), 256u);
    EXPECT_FALSE(std::filesystem::exists(Path("keypad.bin.tmp")));
    ConfigBlock loaded{};
    ASSERT_TRUE(LoadState(Path("keypad.bin"), loaded, error)) << error;
    EXPECT_EQ(loaded, saved);
}

TEST_F(StateFile, WrongSizeIsRefusedAndLeavesMemoryAlone) {
    for (std::size_t size : {0u, 255u, 257u, 1024u}) {
        WriteBytes(Path("odd.bin"), size);
        ConfigBlock memory;
        memory.fill(0x77);
        std::string error;
        EXPECT_FALSE(LoadState(Path("odd.bin"), memory, error)) << size;
        EXPECT_NE(error.find("exactly 256"), std::string::npos) << error;
        EXPECT_EQ(memory[0], 0x77);
    }
}

TEST_F(StateFile, SaveIntoMissingFolderFailsWithAReason) {
    std::string error;
    EXPECT_FALSE(SaveState(Path("no/such/folder/keypad.bin"), FreshMemory(), error));
    EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
}

TEST_F(StateFile, UnreadableStateIsAnErrorNotAFreshKeypad) {
    std::filesystem::create_directory(Path("a-folder"));
    ConfigBlock memory{};
    std::string error;
    EXPECT_FALSE(LoadState(Path("a-folder"), memory, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace quillpad::emu
