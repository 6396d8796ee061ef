// The window and the sample site together, for the whole lookup behind the "Go" button.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/app/lookup/lookup_window_fixture.h"
#include "tools/sample-site/sample_site.h"

namespace vidmora::test {

// The window and the sample site on the page address's port.
class LookupTest : public LookupWindowTest {
  protected:
    void SetUp() override {
        LookupWindowTest::SetUp();
        ASSERT_TRUE(site_.start(VIDMORA_TEST_SITE_PORT))
            << "the sample site needs port " << VIDMORA_TEST_SITE_PORT;
    }

    std::string site_address(const std::string& path) const { return site_.host() + path; }

    sample_site::SampleSite site_;
};

}  // namespace vidmora::test
