// SPDX-License-Identifier: GPL-3.0-or-later
// The radios table of several-radio programming and its log: every row
// checked through the rules before any radio is touched, labels that can
// name a backup, the prompt's title and the log a resumed run reads.
#include <gtest/gtest.h>

#include "files/fleet_plan.h"

namespace pellaro {
namespace {

Document newCodeplug() {
    Document doc;
    doc.resetToNew();
    return doc;
}

TEST(FleetPlan, EveryRowIsCheckedBeforeAnythingIsWritten) {
    struct Case {
        const char* name;
        const char* csv;
        std::string error;                  // unusable as a whole
        std::vector<std::string> refused;   // itemText of each refusal
        std::size_t changed;
    };
    const Case cases[] = {
        {"three radios",
         "DTMF Groups/Native ID Code,A 1 Receiving Frequency,A 1 Channel Name\n101,145.5,CAR 1\n102,145.5,CAR 2\n",
         "",
         {},
         0},
        {"a refused value on line 3",
         "DTMF Groups/Native ID Code\n101\n10X\n103\n1E\n",
         "",
         {"line 3: DTMF Groups/Native ID Code: ", "line 5: DTMF Groups/Native ID Code: "},
         0},
        {"an unknown name",
         "Radio,DTMF Groups/Native Code\nCar 1,101\n",
         "\"DTMF Groups/Native Code\" is neither",
         {},
         0},
        {"a row too short",
         "Radio,DTMF Groups/Native ID Code\nCar 1\n",
         "",
         {"line 2: 1 fields where the header has 2"},
         0},
        {"labels twice, empty, unsafe",
         "Radio,DTMF Groups/Native ID Code\nCar 1,101\nCar 1,102\n,103\n../x,104\n",
         "",
         {"line 3: radio \"Car 1\" is listed twice", "line 4: the radio has no label",
          "line 5: \"../x\" cannot name a backup file"},
         0},
        {"a frequency put on the step", "A 1 Receiving Frequency\n145.5031\n", "", {}, 1},
        {"not CSV", "\"open\n", "line 1: a quoted field starts here and is never closed", {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FleetPlan plan = planFleetCsv(newCodeplug(), c.csv);
        EXPECT_EQ(plan.error.substr(0, c.error.size()), c.error);
        EXPECT_EQ(plan.error.empty(), c.error.empty()) << plan.error;
        ASSERT_EQ(plan.refused.size(), c.refused.size());
        for (std::size_t i = 0; i < c.refused.size(); ++i)
            EXPECT_EQ(itemText(plan.refused[i]).substr(0, c.refused[i].size()), c.refused[i]);
        EXPECT_EQ(plan.changed.size(), c.changed);
        EXPECT_EQ(plan.usable(), c.error.empty() && c.refused.empty());
    }
}

TEST(FleetPlan, EachRowsCodeplugHoldsItsValuesAndTheTemplateStaysAsItWas) {
    const Document tmpl = newCodeplug();
    const FleetPlan plan =
        planFleetCsv(tmpl, "DTMF Groups/Native ID Code,Limit Frequency/Boot Information 1\n101,CAR 1\n102,CAR 2\n");
    ASSERT_TRUE(plan.usable());
    const auto id = *findValueName("DTMF Groups/Native ID Code");
    const auto boot = *findValueName("Limit Frequency/Boot Information 1");
    EXPECT_EQ(valueText(plan.rows[1].doc, id), "102");
    EXPECT_EQ(valueText(plan.rows[1].doc, boot), "CAR 2");
    EXPECT_EQ(plan.rows[1].label, "2");
    EXPECT_EQ(valueText(tmpl, id), valueText(newCodeplug(), id));
    EXPECT_EQ(fleetRadioTitle(plan, 1), "radio 2 of 2 (Native ID Code 102)");
    const FleetPlan labelled = planFleetCsv(tmpl, "Radio,DTMF Groups/Native ID Code\nCar 7,107\n");
    EXPECT_EQ(fleetRadioTitle(labelled, 0), "radio 1 of 1 (Car 7)");
}

TEST(FleetPlan, CountedValuesKeepTheirWidth) {
    EXPECT_EQ(countedValues("101", 3), (std::vector<std::vector<std::string>>{{"101"}, {"102"}, {"103"}}));
    EXPECT_EQ(countedValues("CAR 09", 2), (std::vector<std::vector<std::string>>{{"CAR 09"}, {"CAR 10"}}));
    EXPECT_TRUE(countedValues("CAR", 2).empty());
    EXPECT_TRUE(countedValues("1", 0).empty());
}

TEST(FleetLog, AResumedRunFindsTheRadiosLoggedOk) {
    const std::vector<std::string> names{"DTMF Groups/Native ID Code"};
    std::string log = fleetLogHeader(names);
    EXPECT_EQ(log, "Radio,DTMF Groups/Native ID Code,Start,End,Result,Message,Verify differences\r\n");
    log += fleetLogRow({"1", {"101"}, "a", "b", true, "", 0});
    log += fleetLogRow({"Car, 2", {"102"}, "a", "b", false, "Write error!", 0});
    log += fleetLogRow({"Car, 2", {"102"}, "a", "b", true, "", 0});
    log += fleetLogRow({"3", {"103"}, "a", "b", false, "Verify failed: 2 differences", 2});
    const FleetLog read = readFleetLog(log, names);
    EXPECT_TRUE(read.error.empty());
    EXPECT_EQ(read.ok, (std::set<std::string>{"1", "Car, 2"}));
    EXPECT_TRUE(readFleetLog("", names).ok.empty());
    EXPECT_FALSE(readFleetLog(log, {"A 1 Channel Name"}).error.empty());
}

}   // namespace
}   // namespace pellaro
