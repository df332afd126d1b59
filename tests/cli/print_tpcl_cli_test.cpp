// korvane print in TEC TPCL: the shipping example printed with --language
// tpcl (or its code, 10) --dpi 203 --output is a stream of framed TPCL
// commands, one issue per label, each label's Code 128 carrying its own
// parcel number.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drivers/tpcl_label.h"
#include "platform/strutil.h"
#include "support/kvtest.h"

namespace {

TEST(PrintTpclCli, TheShippingExamplePrintsAsTpcl)
{
    kvtest::TempDir dir;
    const std::vector<std::pair<std::string, std::string>> env = {{"KORVANE_SETTINGS", dir.file("settings.ini")}};
    ASSERT_EQ(kvtest::RunKorvane({"example", "shipping", dir.file("example.kvd")}, env).status, 0);
    const std::vector<std::uint8_t> example = kvtest::ReadFileBytes(dir.file("example.kvd"));

    std::vector<std::string> jobs;
    for (const char* language : {"tpcl", "10"}) {
        SCOPED_TRACE(language);
        // A fresh copy each time: a run saves the next parcel number.
        const std::string doc = dir.file(std::string("label-") + language + ".kvd");
        const std::string out = dir.file(std::string("labels-") + language + ".tpcl");
        kvtest::WriteFileBytes(doc, example);
        const auto r = kvtest::RunKorvane({"print", doc, "--language", language, "--dpi", "203", "--quantity", "3",
                                           "--now", "2030-05-06 07:08:09", "--output", out},
                                          env);
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<std::uint8_t> bytes = kvtest::ReadFileBytes(out);
        const std::string job(bytes.begin(), bytes.end());
        EXPECT_NE(r.err.find(StrFormat("printed 3 labels, %zu bytes to %s", bytes.size(), out.c_str())),
                  std::string::npos)
            << r.err;
        std::vector<std::string> commands;
        std::string error;
        ASSERT_TRUE(tpcltest::SplitTpcl(job, &commands, &error)) << error;
        // The 100 x 150 mm label with its 3 mm gap.
        ASSERT_FALSE(commands.empty());
        EXPECT_EQ(commands[0], "D1530,1000,1500");
        const std::vector<std::string> issues = tpcltest::CommandsOf(commands, "XS;I,");
        ASSERT_EQ(issues.size(), 3u);
        for (const std::string& issue : issues) EXPECT_EQ(issue.substr(0, 10), "XS;I,0001,");
        std::vector<std::string> parcels;
        for (const std::string& bars : tpcltest::CommandsOf(commands, "XB"))
            parcels.push_back(bars.substr(bars.find('=') + 1));
        EXPECT_EQ(parcels, (std::vector<std::string>{">:KV>51234567890", ">:KV>51234567891", ">:KV>51234567892"}));
        jobs.push_back(job);
    }
    EXPECT_EQ(jobs[0], jobs[1]);
}

}  // namespace
