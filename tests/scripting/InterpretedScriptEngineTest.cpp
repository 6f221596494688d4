#include "scripting/InterpretedScriptEngine.h"

#include <gtest/gtest.h>

#include "testing/FakeBrowserDictionary.h"
#include "testing/FakeClock.h"
#include "testing/FakeMediaPlayerDictionary.h"

namespace vantlo {
namespace {

class InterpretedScriptEngineTest : public ::testing::Test {
  protected:
    InterpretedScriptEngineTest() {
        chrome->addWindow(
            {{"Inbox", "https://mail.example.com/"}, {"News", "https://news.example/"}}, 2);
        chrome->addWindow({{"Docs", "https://docs.example/"}});
        registry->add("Google Chrome", chrome);
        registry->add("Music", music);
    }

    std::optional<ScriptValue> run(const std::string& source, double timeout = 5) {
        return engine.execute(source, timeout);
    }

    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    std::shared_ptr<ScriptApplicationRegistry> registry =
        std::make_shared<ScriptApplicationRegistry>();
    std::shared_ptr<FakeBrowserDictionary> chrome =
        std::make_shared<FakeBrowserDictionary>("Google Chrome", BrowserFamily::chromium);
    std::shared_ptr<FakeMediaPlayerDictionary> music =
        std::make_shared<FakeMediaPlayerDictionary>();
    InterpretedScriptEngine engine{registry, clock};
};

TEST_F(InterpretedScriptEngineTest, ValuesListsCoercionsAndComparisons) {
    struct Case {
        const char* source;
        ScriptValue expected;
    };
    const Case cases[] = {
        {"return {1, \"a\", true, {2.5}}",
         ScriptValue(ScriptValue::List{1, "a", true, ScriptValue(ScriptValue::List{2.5})})},
        {"return 42 as text", "42"},
        {"return \"17\" as integer", 17},
        {"return 2.5 as text", "2.5"},
        {"return (3 = 3.0) and not (1 is 2)", true},
        {"return 2 >= 3 or \"b\" > \"a\"", true},
        {"return \"A\" is \"a\"", false},
        {"return count of {1, 2, 3}", 3},
        {"set x to {}\nset end of x to 1\nset end of x to {2}\nreturn x",
         ScriptValue(ScriptValue::List{1, ScriptValue(ScriptValue::List{2})})},
        {"set total to 0\nrepeat with i from 1 to 4\nset total to i\nend repeat\nreturn total", 4},
        {"repeat with i from 3 to 1\nreturn i\nend repeat\nreturn \"none\"", "none"},
        {"if 1 < 2 then\nreturn \"yes\"\nelse\nreturn \"no\"\nend if", "yes"},
        {"if false then\nreturn 1\nelse if true then\nreturn 2\nend if", 2},
        {"if true then return \"short\"", "short"},
        {"set a to -3 -- a comment\n(* a (* nested *) one *)\nreturn a", -3},
        {"return missing value", ScriptValue()},
        {"set x to 5\nset y to x", 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(run(c.source), std::optional<ScriptValue>(c.expected)) << "script " << c.source;
}

TEST_F(InterpretedScriptEngineTest, TryAbsorbsScriptErrorsAndOtherFailuresYieldNothing) {
    EXPECT_EQ(run("set x to 1\ntry\nset x to undefinedThing\nend try\nreturn x"), ScriptValue(1));
    EXPECT_EQ(run("try\nreturn 1 as boolean\nset y to \"z\" as integer\non error message\n"
                  "return message\nend try"),
              ScriptValue(true));
    EXPECT_EQ(run("try\nset y to \"z\" as integer\non error message\nreturn \"caught\"\nend try"),
              ScriptValue("caught"));

    const char* failing[] = {
        "return undefinedThing",                             // error outside every try
        "return \"a\" < 1",                                  // no order between a text and a number
        "return \"yes\" and true",                           // a text is no boolean
        "tell application \"Nowhere\"\nactivate\nend tell",  // unknown application
        "window 1",                                          // no application to ask
        "return {1, 2",                                      // unbalanced list
        "return \"unterminated",                             // unterminated text
        "return \"bad \\q escape\"",                         // unknown escape
        "tell application \"Music\"\npause\n",               // tell without end
        "if true then\nreturn 1\nend repeat",                // mismatched end
        "set window to 3",                                   // a dictionary word is no variable
        "return 3rd",                                        // not a number of this dialect
        "end tell",
    };
    for (const char* source : failing)
        EXPECT_EQ(run(source), std::nullopt) << "script " << source;
    EXPECT_EQ(run(""), ScriptValue()) << "an empty script answers a missing value";
}

TEST_F(InterpretedScriptEngineTest, ReadsAndChangesApplicationObjects) {
    EXPECT_EQ(run("tell application \"Google Chrome\"\nreturn count of windows\nend tell"),
              ScriptValue(2));
    EXPECT_EQ(run("tell application \"Google Chrome\" to return title of tab 2 of window 1"),
              ScriptValue("News"));
    EXPECT_EQ(run("tell application \"Google Chrome\"\n"
                  "set w to window 2\nset t to tab 1 of w\n"
                  "set index of w to 1\n"
                  "return {title of t, URL of t, active tab index of window 1}\nend tell"),
              ScriptValue(ScriptValue::List{"Docs", "https://docs.example/", 1}));
    // The reference kept in `t` still names the same tab after its window moved to the front.
    EXPECT_EQ(chrome->windows().front().tabs.front().title, "Docs");
    EXPECT_EQ(run("tell application \"Google Chrome\" to return title of tab 9 of window 1"),
              std::nullopt)
        << "a missing tab is an error";
    EXPECT_EQ(run("tell application \"Google Chrome\" to return name of tab 1 of window 1"),
              std::nullopt)
        << "Chromium tabs have a title, not a name";

    EXPECT_EQ(run("tell application \"Music\" to pause"), ScriptValue());
    EXPECT_EQ(music->commands(), std::vector<std::string>{"pause"});
    EXPECT_EQ(run("tell application \"Music\" to close window 1"), std::nullopt);
}

TEST_F(InterpretedScriptEngineTest, TextInsideLiteralsIsNeverCode) {
    // set t to "\"<line break>end tell<line break>tell application \"Music\" to pause ..."
    std::string source =
        "set t to \"\\\"\nend tell\ntell application \\\"Music\\\" to pause\n-- \\\\\"\nreturn t";
    EXPECT_EQ(run(source), ScriptValue("\"\nend tell\ntell application \"Music\" to pause\n-- \\"));
    EXPECT_TRUE(music->commands().empty());
}

TEST_F(InterpretedScriptEngineTest, RunawayScriptsStopAtTheStepBudget) {
    InterpretedScriptEngine small{registry, clock, 10'000};
    EXPECT_EQ(
        small.execute("repeat with i from 1 to 1000000000\nset x to i\nend repeat\nreturn 1", 5),
        std::nullopt);
    // A list that doubles with each pass would need gigabytes: its copies are charged.
    EXPECT_EQ(small.execute("set x to {1}\nrepeat with i from 1 to 60\nset end of x to x\n"
                            "end repeat\nreturn count of x",
                            5),
              std::nullopt);
    // "try" does not catch running out of steps.
    EXPECT_EQ(small.execute("try\nrepeat with i from 1 to 1000000000\nend repeat\nend try\n"
                            "return 1",
                            5),
              std::nullopt);
}

TEST_F(InterpretedScriptEngineTest, AnApplicationThatNeverAnswersCostsOnlyTheTimeOut) {
    chrome->stopAnswering(clock);
    double start = clock->now();
    EXPECT_EQ(run("tell application \"Google Chrome\"\ntry\nreturn count of windows\nend try\n"
                  "return 0\nend tell",
                  2.0),
              std::nullopt)
        << "a time-out is not absorbed by try";
    EXPECT_DOUBLE_EQ(clock->now() - start, 2.0);
    EXPECT_EQ(chrome->calls(), 1) << "the run ends at the first unanswered call";

    EXPECT_EQ(run("return 1", 0), std::nullopt) << "no time at all";
    EXPECT_EQ(run("return 1", -1), std::nullopt);
}

}  // namespace
}  // namespace vantlo
