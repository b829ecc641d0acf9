// Installs a scripted platform for one test and leaves the library as it found it.
#pragma once

#include <gtest/gtest.h>

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
        DevSetPlatform(nullptr);
        DevSelect(-1);
    }

    FakePlatform fake;
    FailingAllocator allocator;
};

}  // namespace quillpad
