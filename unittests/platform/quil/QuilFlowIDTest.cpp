#include "quilflow/QuilFlowID.h"
#include "quilflow/QuilFlowIDStandIn.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

// Each test states the environment it needs and starts from the environment-derived text.
class QuilFlowIDTest : public ::testing::Test
{
protected:
    void SetUp() override { SetEnvironment(nullptr, nullptr); }
    void TearDown() override { SetEnvironment(nullptr, nullptr); }

    static void SetEnvironment(const char* flow, const char* install)
    {
        SetOrUnset("KRAVIK_FLOW_ID", flow);
        SetOrUnset("KRAVIK_INSTALL_ID", install);
        QuilFlowIDStandIn_Reset();
    }

private:
    static void SetOrUnset(const char* name, const char* value)
    {
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
};

TEST_F(QuilFlowIDTest, DefaultTextFollowsTheEnvironment)
{
    struct Case
    {
        const char* flow;
        const char* install;
        const char* expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, ""},
        {"F1", nullptr, "Flow Id: F1\r\n"},
        {nullptr, "I1", "KVT Install Id: I1\r\n"},
        {"F1", "I1", "Flow Id: F1\r\nKVT Install Id: I1\r\n"},
        {"", "", "Flow Id: \r\nKVT Install Id: \r\n"},
    };
    for (const Case& c : cases) {
        SetEnvironment(c.flow, c.install);
        const char* text = QuilFlowID();
        ASSERT_NE(text, nullptr);
        EXPECT_STREQ(text, c.expected) << "flow=" << (c.flow ? c.flow : "(unset)")
                                       << " install=" << (c.install ? c.install : "(unset)");
    }
}

TEST_F(QuilFlowIDTest, TextIsBuiltOnceUntilReset)
{
    SetEnvironment("F1", nullptr);
    const char* first = QuilFlowID();
    setenv("KRAVIK_FLOW_ID", "F2", 1);
    EXPECT_EQ(QuilFlowID(), first) << "the pointer stays valid between calls";
    EXPECT_STREQ(QuilFlowID(), "Flow Id: F1\r\n");

    QuilFlowIDStandIn_Reset();
    EXPECT_STREQ(QuilFlowID(), "Flow Id: F2\r\n");
}

TEST_F(QuilFlowIDTest, SetTextCopiesAnyText)
{
    const char* texts[] = {
        "Flow Id: F1\r\nKVT Install Id: I1\r\nFlow Id: F2\r\n",
        "Flow Id: no line end",
        "",
    };
    for (const char* t : texts) {
        std::string buffer = t;
        QuilFlowIDStandIn_SetText(buffer.c_str());
        buffer.assign(buffer.size(), 'x');
        ASSERT_NE(QuilFlowID(), nullptr);
        EXPECT_STREQ(QuilFlowID(), t);
    }
}

TEST_F(QuilFlowIDTest, NullTextMakesTheFunctionReturnNullUntilReset)
{
    SetEnvironment("F1", "I1");
    QuilFlowIDStandIn_SetText(nullptr);
    EXPECT_EQ(QuilFlowID(), nullptr);
    EXPECT_EQ(QuilFlowID(), nullptr);

    QuilFlowIDStandIn_Reset();
    ASSERT_NE(QuilFlowID(), nullptr);
    EXPECT_STREQ(QuilFlowID(), "Flow Id: F1\r\nKVT Install Id: I1\r\n");
}

// Readers on other threads see one of the texts set, never a torn or freed one.
TEST_F(QuilFlowIDTest, ConcurrentReadersSeeWholeTexts)
{
    const std::string a = "Flow Id: A\r\n";
    const std::string b = "Flow Id: BBBBBBBBBBBBBBBBBBBBBBBBBBBBBB\r\n";
    QuilFlowIDStandIn_SetText(a.c_str());
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::vector<std::thread> readers;
    for (int i = 0; i < 4; ++i) {
        readers.emplace_back([&] {
            while (!stop) {
                const char* p = QuilFlowID();
                std::string seen = p ? std::string(p) : std::string("(null)");
                if (seen != a && seen != b && seen != "(null)")
                    ++torn;
            }
        });
    }
    for (int i = 0; i < 2000; ++i) {
        QuilFlowIDStandIn_SetText((i % 3 == 0) ? nullptr : (i % 2 ? a.c_str() : b.c_str()));
    }
    stop = true;
    for (std::thread& t : readers)
        t.join();
    EXPECT_EQ(torn.load(), 0);
}

} // namespace
