// The real quillpadctl program, run as a process against a simulated keypad.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "run_ctl.h"

namespace quillpad::testing {
namespace {

using Args = std::vector<std::string>;

constexpr int kExitBadFile = 1;
constexpr int kExitUsage = 2;

// Parses the hex dump quillpadctl prints: "0010: 01 00 3E ..." lines.
std::vector<int> ParseDump(const std::string& dump) {
    std::vector<int> bytes;
    std::istringstream lines(dump);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line.substr(line.find(':') + 1));
        std::string hex;
        while (fields >> hex)
            bytes.push_back(std::stoi(hex, nullptr, 16));
    }
    return bytes;
}

std::string Block(std::initializer_list<std::pair<std::size_t, std::uint8_t>> bytes) {
    std::string block(256, '\0');
    block[90] = static_cast<char>(0xFC);
    for (const auto& [offset, value] : bytes)
        block[offset] = static_cast<char>(value);
    return block;
}

class CtlProcess : public ::testing::Test {
  protected:
    CtlRun Run(Args args) {
        args.insert(args.begin(), {"--simulate", "k.bin"});
        return RunCtl(dir_.path(), args);
    }
    // Runs a command that must succeed and returns what it printed.
    std::string Ok(const Args& args) {
        const CtlRun run = Run(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        return run.out;
    }
    // Runs a command that must fail with code and one line naming the fault, printing nothing.
    void Fails(const Args& args, int code, const std::string& messagePart) {
        const CtlRun run = Run(args);
        EXPECT_EQ(run.exitCode, code) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(run.err.starts_with("quillpadctl: ")) << run.err;
        EXPECT_NE(run.err.find(messagePart), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    }
    std::string State() { return ReadFile(dir_ / "k.bin"); }

    TempDir dir_;
};

TEST_F(CtlProcess, SetThenDumpAndShowTheKey) {
    EXPECT_EQ(Ok({"set", "3", "Ctrl+F5"}), "");
    const std::vector<int> bytes = ParseDump(Ok({"dump"}));
    ASSERT_EQ(bytes.size(), 256u);
    EXPECT_EQ(std::vector<int>(bytes.begin() + 15, bytes.begin() + 19),
              (std::vector<int>{0x01, 0x01, 0x00, 0x3E}));
    EXPECT_EQ(bytes[90], 0xFC);
    EXPECT_EQ(State(), Block({{15, 0x01}, {16, 0x01}, {18, 0x3E}}));

    const std::string json = Ok({"show", "--json"});
    EXPECT_NE(json.find(R"({"key": 3, "vk": 116, "modifiers": 1, "mouse": 0, "text": "Ctrl+F5", )"
                        R"("canonical": "Ctrl+F5", "usage": 62})"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find(R"({"key": 1, "vk": 0, "modifiers": 0, "mouse": 0, "text": "Null")"),
              std::string::npos);
}

TEST_F(CtlProcess, SeveralKeysInOneCallAndTheAmbiguousTexts) {
    Ok({"set", "1", "Mouse Left+a", "2", "Shift+=", "6", "keypad +", "5", "Right Ctrl"});
    Ok({"--verify", "set", "4", "--vk", "0x74", "--mouse", "2"});
    const std::string show = Ok({"show"});
    const char* lines[] = {
        "key 1  Mouse Left+a    vk 0x41  modifiers 0x00  mouse 0x01\n",
        "key 2  Shift+=         vk 0xBB  modifiers 0x02  mouse 0x00  (the window shows "
        "\"Shift\")\n",
        "key 3  Null            vk 0x00  modifiers 0x00  mouse 0x00\n",
        "key 4  Mouse Right+F5  vk 0x74  modifiers 0x00  mouse 0x02\n",
        "key 5  Right Ctrl      vk 0x00  modifiers 0x10  mouse 0x00  (the window shows \"Null\")\n",
        "key 6  Keypad +        vk 0x6B  modifiers 0x00  mouse 0x00  (the window shows \"Keypad "
        "\")\n",
    };
    for (const char* line : lines)
        EXPECT_NE(show.find(line), std::string::npos) << line << show;

    // Fields not given keep their value.
    Ok({"set", "4", "--modifiers", "1"});
    EXPECT_NE(Ok({"show", "--json"}).find(R"("key": 4, "vk": 116, "modifiers": 1, "mouse": 2)"),
              std::string::npos);
}

TEST_F(CtlProcess, DumpToFileAndRestoreKeepEveryByte) {
    // A block with bytes the window would never write: restore sends it unchanged.
    const std::string block = Block({{0, 0x07}, {3, 0x59}, {100, 0xAA}, {255, 0x01}});
    WriteFile(dir_ / "in.bin", block);
    Ok({"restore", "in.bin", "--verify"});
    EXPECT_EQ(State(), block);
    Ok({"dump", "-o", "out.bin"});
    EXPECT_EQ(ReadFile(dir_ / "out.bin"), block);
}

TEST_F(CtlProcess, RestoreRefusesAnythingButExactly256Bytes) {
    Ok({"set", "1", "a"});
    const std::string before = State();
    WriteFile(dir_ / "short.bin", std::string(255, '\0'));
    Fails({"restore", "short.bin"}, kExitBadFile, "short.bin: holds 255 bytes");
    WriteFile(dir_ / "long.bin", std::string(257, '\0'));
    Fails({"restore", "long.bin"}, kExitBadFile, "long.bin: is larger than 256 bytes");
    Fails({"restore", "missing.bin"}, kExitBadFile, "missing.bin: no such file");
    Fails({"restore", "."}, kExitBadFile, "is a folder");
    EXPECT_EQ(State(), before);
}

TEST_F(CtlProcess, SaveAndLoadAProfile) {
    Ok({"set", "1", "Ctrl+F5", "2", "Shift+Ctrl+=", "3", "Mouse Middle+Win+Keypad +"});
    Ok({"save", "keys.profile"});
    const std::string profile = ReadFile(dir_ / "keys.profile");
    EXPECT_NE(profile.find("key2 = Shift+Ctrl+=\nkey3 = Windows+Mouse Middle+Keypad +\n"),
              std::string::npos)
        << profile;
    const std::string saved = State();

    Ok({"set", "1", "Null", "2", "Null", "3", "Null", "4", "x"});
    Ok({"load", "keys.profile", "--verify"});
    EXPECT_EQ(State(), saved);

    // A profile naming some keys leaves the others alone.
    WriteFile(dir_ / "part.profile", "# just key 4\nkey4 = Alt+Tab\n");
    Ok({"load", "part.profile"});
    EXPECT_NE(Ok({"show"}).find("key 1  Ctrl+F5"), std::string::npos);
    EXPECT_NE(Ok({"show"}).find("key 4  Alt+Tab"), std::string::npos);
}

TEST_F(CtlProcess, AProfileWithOneBadLineChangesNothing) {
    Ok({"set", "1", "a"});
    const std::string before = State();
    WriteFile(dir_ / "bad.profile", "key1 = Ctrl+F5\nkey2 = b\nkey3 = Ctrl+Hyper\nkey4 = c\n");
    Fails({"load", "bad.profile"}, kExitBadFile, "bad.profile: line 3: key3: unknown name 'Hyper'");
    EXPECT_EQ(State(), before);
}

TEST_F(CtlProcess, UsageErrorsTouchNothing) {
    Ok({"set", "1", "a"});
    const std::string before = State();
    Fails({"set", "7", "a"}, kExitUsage, "key number from 1 to 6");
    Fails({"set", "1", "Ctrl+Hyper"}, kExitUsage, "key 1: unknown name 'Hyper'");
    Fails({"set", "1", "a", "2"}, kExitUsage, "key 2 has no assignment");
    Fails({"set", "1", "a", "1", "b"}, kExitUsage, "key 1 is named twice");
    Fails({"set", "1", "--vk", "256"}, kExitUsage, "--vk needs a number from 0 to 255");
    Fails({"set", "1", "--vk", "0x2C"}, kExitUsage, "vk 0x2C has no key code");
    Fails({"set", "1", "Mouse", "Left+a"}, kExitUsage, "quote assignments");
    Fails({"frobnicate"}, kExitUsage, "unknown command 'frobnicate'");
    Fails({"show", "--colour"}, kExitUsage, "unknown option '--colour'");
    Fails({"dump", "--json"}, kExitUsage, "--json belongs to");
    Fails({"show", "--verify"}, kExitUsage, "--verify belongs to");
    Fails({"--device", "32", "show"}, kExitUsage, "--device needs a slot number from 0 to 31");
    Fails({}, kExitUsage, "no command given");
    Fails({"--simulate", "other.bin", "show"}, kExitUsage, "--simulate is given twice");
    Fails({"dump", "-o", "a.bin", "--output=b.bin"}, kExitUsage, "-o (--output) is given twice");
    Fails({"--device", "0", "--device", "1", "show"}, kExitUsage, "--device is given twice");
    Fails({"--layout", "de", "show", "--layout=fr"}, kExitUsage, "--layout is given twice");
    Fails({"--wait", "soon", "show"}, kExitUsage, "--wait needs a number of seconds");
    Fails({"--wait", "86401", "show"}, kExitUsage, "from 0 to 86400");
    Fails({"--wait", "1", "--wait=2", "show"}, kExitUsage, "--wait is given twice");
    EXPECT_EQ(State(), before);
}

TEST_F(CtlProcess, NoKeypadInTheSlotAskedFor) {
    Fails({"--device", "1", "show"}, 3, "no keypad in slot 1; found 1");
}

TEST_F(CtlProcess, ABrokenStateFileIsRefusedAndKept) {
    WriteFile(dir_ / "k.bin", "not a keypad");
    Fails({"show"}, kExitBadFile,
          "cannot read the simulated keypad's memory from k.bin: it holds 12");
    EXPECT_EQ(State(), "not a keypad");
}

TEST_F(CtlProcess, HelpAndVersion) {
    const CtlRun version = RunCtl(dir_.path(), {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.starts_with("quillpadctl ")) << version.out;
    for (const Args& args : {Args{"--help"}, Args{"help", "set"}, Args{"set", "--help"},
                             Args{"list", "-h"}, Args{"descriptor", "--help"}}) {
        const CtlRun help = RunCtl(dir_.path(), args);
        EXPECT_EQ(help.exitCode, 0) << args.front();
        EXPECT_TRUE(help.out.starts_with("Usage: quillpadctl")) << help.out;
    }
    EXPECT_NE(RunCtl(dir_.path(), {"help", "set"}).out.find("Shift+="), std::string::npos);
    EXPECT_NE(RunCtl(dir_.path(), {"--help"}).out.find("6  --verify found"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "k.bin"));  // help never touches a keypad
}

TEST_F(CtlProcess, KeysListsEveryNameWithItsUsage) {
    const std::string keys = Ok({"keys"});
    EXPECT_TRUE(keys.starts_with("a\t0x04\nb\t0x05\n")) << keys;
    EXPECT_NE(keys.find("\nKeypad *\t0x55\n"), std::string::npos) << keys;
    EXPECT_EQ(keys.find("Null"), std::string::npos);
    const std::string json = Ok({"keys", "--json"});
    EXPECT_TRUE(json.starts_with("[\n  {\"name\": \"a\", \"usage\": 4},\n")) << json;
    EXPECT_NE(json.find(R"({"name": "Keypad *", "usage": 85})"), std::string::npos) << json;
    EXPECT_TRUE(RunCtl(dir_.path(), {"help", "keys"}).out.starts_with("Usage: quillpadctl keys"));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "k.bin"));  // nor does keys
}

// Without --layout key names are the US positions' names; with it, what that layout types there.
TEST_F(CtlProcess, LayoutNamesKeysAsThatLayoutTypesThem) {
    Ok({"--layout", "de", "set", "1", "z", "2", "Ctrl+\xC3\xB6"});
    Ok({"--layout=fr", "set", "3", "a", "4", ","});
    EXPECT_EQ(State(), Block({{48, 0x1C},
                              {45, 0x01},
                              {33, 0x33},
                              {31, 0x01},
                              {30, 0x01},
                              {18, 0x14},
                              {15, 0x01},
                              {3, 0x10},
                              {0, 0x01}}));
    const std::string us = Ok({"show"});
    EXPECT_NE(us.find("key 1  y "), std::string::npos) << us;
    EXPECT_NE(us.find("key 3  q "), std::string::npos) << us;
    const std::string de = Ok({"show", "--layout", "de"});
    EXPECT_NE(de.find("key 1  z "), std::string::npos) << de;
    EXPECT_NE(de.find("key 2  Ctrl+\xC3\xB6 "), std::string::npos) << de;
    EXPECT_NE(Ok({"--layout", "fr", "show", "--json"})
                  .find(R"({"key": 4, "vk": 77, "modifiers": 0, "mouse": 0, "text": ",", )"
                        R"("canonical": ",", "usage": 16})"),
              std::string::npos);

    Ok({"--layout", "de", "save", "de.profile"});
    const std::string profile = ReadFile(dir_ / "de.profile");
    EXPECT_NE(profile.find("load with --layout de\nkey1 = z\n"), std::string::npos) << profile;
    const std::string saved = State();
    Ok({"set", "1", "Null"});
    // Read with other names its z would be another key.
    Fails({"load", "de.profile"}, kExitUsage, "load it with --layout 'de'");
    Fails({"--layout", "fr", "load", "de.profile"}, kExitUsage, "load it with --layout 'de'");
    Ok({"--layout", "de", "load", "de.profile"});
    EXPECT_EQ(State(), saved);

    Fails({"--layout", "xx", "set", "1", "a"}, kExitUsage, "unknown keyboard layout 'xx'");
    Fails({"--layout", "de", "dump"}, kExitUsage, "--layout belongs to");
    EXPECT_EQ(State(), saved);
}

TEST_F(CtlProcess, ListShowsTheSimulatedKeypad) {
    const std::string list = Ok({"list"});
    EXPECT_TRUE(list.starts_with("slot 0: ")) << list;
    EXPECT_NE(list.find("k.bin"), std::string::npos) << list;
}

}  // namespace
}  // namespace quillpad::testing
