// The simulated keypad: a block written through the library reads back identical, its memory
// survives a restart, every transfer sees the file as it is then, and a state file of the
// wrong size is refused and left alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dev.h"
#include "platforms.h"
#include "temp_files.h"

namespace quillpad {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class SimulatedKeypadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = tempDir_.path();
        state_ = (dir_ / "keypad.bin").string();
    }
    void TearDown() override {
        DevSetPlatform(nullptr);
        DevSelect(-1);
        platform_.reset();
    }

    // Starts the simulated keypad on the state file and selects it.
    void Start() {
        DevSetPlatform(nullptr);
        std::string error;
        platform_ = MakeSimulatedKeypad(state_, error);
        ASSERT_TRUE(platform_) << error;
        DevSetPlatform(platform_.get());
        ASSERT_EQ(DevEnumerate(nullptr), 1);
        DevSelect(0);
    }

    Bytes FileBytes() const {
        const std::string bytes = testing::ReadFile(state_);
        return Bytes(bytes.begin(), bytes.end());
    }
    void WriteFile(const Bytes& bytes) const {
        testing::WriteFile(state_, std::string(bytes.begin(), bytes.end()));
    }

    testing::TempDir tempDir_;
    fs::path dir_;
    std::string state_;
    std::unique_ptr<HidPlatform> platform_;
};

Bytes Block() {
    Bytes block(256);
    for (int i = 0; i < 256; ++i) {
        block[i] = static_cast<std::uint8_t>(255 - i);
    }
    return block;
}

TEST_F(SimulatedKeypadTest, MissingStateFileStartsAsAFactoryKeypad) {
    Start();
    Bytes expected(256, 0);
    expected[90] = 0xFC;
    EXPECT_EQ(FileBytes(), expected);
    Bytes read(256, 0xEE);
    ASSERT_EQ(DevReadBlock(read.data(), 0, 256), 1);
    EXPECT_EQ(read, expected);
}

TEST_F(SimulatedKeypadTest, WrittenBlockReadsBackAndSurvivesARestart) {
    Start();
    const Bytes block = Block();
    ASSERT_EQ(DevWriteBlock(block.data(), 0, 256), 1);
    Bytes read(256, 0);
    ASSERT_EQ(DevReadBlock(read.data(), 0, 256), 1);
    EXPECT_EQ(read, block);
    EXPECT_EQ(FileBytes(), block);

    Start();  // a new process on the same file
    Bytes again(256, 0);
    ASSERT_EQ(DevReadBlock(again.data(), 0, 256), 1);
    EXPECT_EQ(again, block);
    EXPECT_FALSE(fs::exists(state_ + ".tmp"));
}

TEST_F(SimulatedKeypadTest, PartialBlockWritesAtItsAddress) {
    Start();
    const Bytes part = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    ASSERT_EQ(DevWriteBlock(part.data(), 250, 10), 1);  // wraps past the end of the memory
    Bytes read(10, 0);
    ASSERT_EQ(DevReadBlock(read.data(), 250, 10), 1);
    EXPECT_EQ(read, part);
    EXPECT_EQ(FileBytes()[0], 7);
}

TEST_F(SimulatedKeypadTest, StateFileOfWrongSizeIsRefusedAndLeftAlone) {
    for (std::size_t size : {0u, 1u, 255u, 257u, 4096u}) {
        const Bytes original(size, 0x5A);
        WriteFile(original);
        std::string error;
        EXPECT_EQ(MakeSimulatedKeypad(state_, error), nullptr) << size;
        EXPECT_NE(error.find("256 bytes"), std::string::npos) << error;
        EXPECT_NE(error.find(state_), std::string::npos) << error;
        EXPECT_EQ(FileBytes(), original) << size;
    }
}

TEST_F(SimulatedKeypadTest, UnusableStatePathsAreRefusedWithAReason) {
    std::string error;
    EXPECT_EQ(MakeSimulatedKeypad(dir_.string(), error), nullptr);
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    error.clear();
    EXPECT_EQ(MakeSimulatedKeypad((dir_ / "missing" / "keypad.bin").string(), error), nullptr);
    EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
    error.clear();
    EXPECT_EQ(MakeSimulatedKeypad("", error), nullptr);
    EXPECT_FALSE(error.empty());
}

TEST_F(SimulatedKeypadTest, EveryTransferWorksOnTheFileAsItIsThen) {
    Start();
    // Another program changes the file: a read sees it, a partial write changes only its part.
    Bytes other = Block();
    WriteFile(other);
    Bytes read(256, 0);
    ASSERT_EQ(DevReadBlock(read.data(), 0, 256), 1);
    EXPECT_EQ(read, other);
    const Bytes part = {0x11, 0x22};
    ASSERT_EQ(DevWriteBlock(part.data(), 7, 2), 1);
    other[7] = 0x11;
    other[8] = 0x22;
    EXPECT_EQ(FileBytes(), other);

    // A file of the wrong size fails both transfers, says why, and is never written.
    const Bytes shortFile(255, 0x5A);
    WriteFile(shortFile);
    EXPECT_EQ(DevReadBlock(read.data(), 0, 256), 0);
    EXPECT_NE(DevLastTransferError().find("holds 255 bytes"), std::string::npos)
        << DevLastTransferError();
    EXPECT_EQ(DevWriteBlock(Block().data(), 0, 256), 0);
    EXPECT_EQ(FileBytes(), shortFile);

    // A write that cannot be saved (a second name, which replacing would split) fails and
    // keeps the old file.
    WriteFile(other);
    fs::create_hard_link(state_, dir_ / "second-name.bin");
    EXPECT_EQ(DevWriteBlock(Block().data(), 0, 256), 0);
    EXPECT_NE(DevLastTransferError().find("cannot save the simulated keypad's memory to " + state_),
              std::string::npos)
        << DevLastTransferError();
    EXPECT_EQ(FileBytes(), other);
}

}  // namespace
}  // namespace quillpad
