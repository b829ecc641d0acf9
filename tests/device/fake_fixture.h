// Installs a scripted platform for one test and leaves the library as it found it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>

#include "dev_internal.h"
#include "failing_allocator.h"
#include "platform/fake/fake_platform.h"

namespace quillpad {

class FakePlatformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DevSetPlatform(&fake);
        DevSelect(-1);
        DevSetAllocator(&allocator);
    }
    void TearDown() override {
        DevSetAllocator(nullptr);
        DevCloseAll();
        EXPECT_EQ(fake.OpenHandles(), 0) << "handles leaked";
        EXPECT_EQ(fake.HeldPreparsedData(), 0) << "preparsed data leaked";
        EXPECT_EQ(fake.HeldNotifications(), 0) << "notifications leaked";
        EXPECT_EQ(fake.OpenLists(), 0) << "interface list leaked";
        EXPECT_TRUE(fake.misuse().empty()) << fake.misuse().front();
        EXPECT_TRUE(fake.keypadViolations().empty())
            << "the keypad saw the host break the protocol: " << fake.keypadViolations().front();
        DevSetPlatform(nullptr);
        DevSelect(-1);
    }

    // For a test that drives the host past what the keypad accepts on purpose: every violation
    // the keypad saw so far must say one of the expected things; they are then forgotten.
    void ExpectOnlyKeypadViolations(std::initializer_list<std::string_view> expected) {
        for (const std::string& violation : fake.keypadViolations()) {
            EXPECT_TRUE(std::any_of(expected.begin(), expected.end(), [&](std::string_view e) {
                return violation.find(e) != std::string::npos;
            })) << violation;
        }
        fake.ClearKeypadViolations();
    }

    FakePlatform fake;
    FailingAllocator allocator;
};

}  // namespace quillpad
