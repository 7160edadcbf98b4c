#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include <kel/kelError.h>

using testing::ExitedWithCode;
using testing::HasSubstr;
using testing::MatchesRegex;
using testing::StrEq;

namespace {

// Each scenario runs in a fresh child process (re-executed, so no handler or
// debug decision of this process carries over) with the environment it sets
// itself.
class ErrorHandler : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

// In the child: starts from an environment without any of the variables the
// handlers read, then sets the ones named.
void useEnvironment(std::initializer_list<const char*> names)
{
    for (const char* var : {"KEL_SILENT", "KEL_ROBUST", "KEL_DEBUG", "VX_DEBUG"})
        unsetenv(var);
    for (const char* var : names)
        setenv(var, "1", 1);
}

// In the child: reports a message and, when the handler returns, exits 0.
void reportAndReturn(std::initializer_list<const char*> env, int flags, const char* text)
{
    useEnvironment(env);
    kelError(flags, "%s %d", text, 42);
    exit(0);
}

TEST_F(ErrorHandler, NaiveWarningPrintsAndReturns)
{
    EXPECT_EXIT(reportAndReturn({}, kelSeverityWarning, "careful"), ExitedWithCode(0),
                StrEq("Warning: careful 42\n"));
}

TEST_F(ErrorHandler, NaiveErrorAndFatalExit)
{
    EXPECT_EXIT(reportAndReturn({}, kelSeverityError, "broken"), ExitedWithCode(1), StrEq("Error: broken 42\n"));
    EXPECT_EXIT(reportAndReturn({}, kelSeverityFatal, "doomed"), ExitedWithCode(1),
                StrEq("Fatal error: doomed 42\n"));
}

TEST_F(ErrorHandler, OnlyTheLowEightBitsAreTheSeverity)
{
    EXPECT_EXIT(reportAndReturn({}, 0x7f00 | kelSeverityWarning, "w"), ExitedWithCode(0), StrEq("Warning: w 42\n"));
    EXPECT_EXIT(reportAndReturn({}, 0x100 | kelSeverityError, "e"), ExitedWithCode(1), StrEq("Error: e 42\n"));
}

TEST_F(ErrorHandler, UnrecognizedSeverityPrintsAndReturns)
{
    EXPECT_EXIT(reportAndReturn({}, 7, "odd"), ExitedWithCode(0), StrEq("(unrecognized severity): odd 42\n"));
}

TEST_F(ErrorHandler, RobustReturnsOnErrorExitsOnFatal)
{
    EXPECT_EXIT(reportAndReturn({"KEL_ROBUST"}, kelSeverityError, "bad"), ExitedWithCode(0), StrEq("Error: bad 42\n"));
    EXPECT_EXIT(reportAndReturn({"KEL_ROBUST"}, kelSeverityWarning, "hm"), ExitedWithCode(0),
                StrEq("Warning: hm 42\n"));
    EXPECT_EXIT(reportAndReturn({"KEL_ROBUST"}, kelSeverityFatal, "end"), ExitedWithCode(1),
                StrEq("Fatal error: end 42\n"));
}

TEST_F(ErrorHandler, SilentDropsAllButFatal)
{
    for (int severity : {int(kelSeverityError), int(kelSeverityWarning), int(kelSeverityInfo), 7})
        EXPECT_EXIT(reportAndReturn({"KEL_SILENT", "KEL_DEBUG"}, severity, "quiet"), ExitedWithCode(0), StrEq(""))
            << "severity " << severity;
    EXPECT_EXIT(reportAndReturn({"KEL_SILENT"}, kelSeverityFatal, "loud"), ExitedWithCode(1),
                StrEq("Fatal error: loud 42\n"));
}

TEST_F(ErrorHandler, SilentWinsOverRobust)
{
    EXPECT_EXIT(reportAndReturn({"KEL_SILENT", "KEL_ROBUST"}, kelSeverityError, "x"), ExitedWithCode(0), StrEq(""));
}

TEST_F(ErrorHandler, DefaultHandlerFollowsTheEnvironment)
{
    auto chosen = [](std::initializer_list<const char*> env) {
        useEnvironment(env);
        kelErrorHandler handler = nullptr;
        void* arg = &handler;
        kelGetErrorHandler(&handler, &arg);
        if (arg != nullptr)
            exit(9);
        exit(handler == kelNaiveErrorHandler ? 1 : handler == kelRobustErrorHandler ? 2
                                               : handler == kelSilentErrorHandler   ? 3
                                                                                     : 4);
    };
    EXPECT_EXIT(chosen({}), ExitedWithCode(1), StrEq(""));
    EXPECT_EXIT(chosen({"KEL_ROBUST"}), ExitedWithCode(2), StrEq(""));
    EXPECT_EXIT(chosen({"KEL_SILENT"}), ExitedWithCode(3), StrEq(""));
    EXPECT_EXIT(chosen({"KEL_ROBUST", "KEL_SILENT"}), ExitedWithCode(3), StrEq(""));
}

TEST_F(ErrorHandler, EnvironmentIsReadOnceUntilResetWithNull)
{
    auto scenario = [] {
        useEnvironment({});
        kelError(kelSeverityWarning, "first");
        setenv("KEL_ROBUST", "1", 1);
        kelError(kelSeverityWarning, "second");
        kelErrorHandler handler;
        kelGetErrorHandler(&handler, nullptr);
        if (handler != kelNaiveErrorHandler)
            exit(2);
        kelSetErrorHandler(nullptr, nullptr);
        kelError(kelSeverityError, "survived");
        exit(0);
    };
    EXPECT_EXIT(scenario(), ExitedWithCode(0), StrEq("Warning: first\nWarning: second\nError: survived\n"));
}

TEST_F(ErrorHandler, InfoNeedsADebugVariable)
{
    auto debug = [](std::initializer_list<const char*> env) {
        useEnvironment(env);
        _kelDebug("note %s", "this");
        kelError(kelSeverityInfo, "and %d", 2);
        exit(0);
    };
    EXPECT_EXIT(debug({}), ExitedWithCode(0), StrEq(""));
    EXPECT_EXIT(debug({"KEL_DEBUG"}), ExitedWithCode(0), StrEq("Info: note this\nInfo: and 2\n"));
    EXPECT_EXIT(debug({"VX_DEBUG"}), ExitedWithCode(0), StrEq("Info: note this\nInfo: and 2\n"));
    EXPECT_EXIT(debug({"KEL_ROBUST", "KEL_DEBUG"}), ExitedWithCode(0), StrEq("Info: note this\nInfo: and 2\n"));
}

TEST_F(ErrorHandler, DebugSwitchIsDecidedAtTheFirstInfo)
{
    auto scenario = [] {
        useEnvironment({});
        _kelDebug("hidden");
        setenv("KEL_DEBUG", "1", 1);
        _kelDebug("still hidden");
        kelSetErrorHandler(nullptr, nullptr);
        _kelDebug("hidden as well");
        exit(0);
    };
    EXPECT_EXIT(scenario(), ExitedWithCode(0), StrEq(""));
}

TEST_F(ErrorHandler, LongMessagesAreCutToTheBuffer)
{
    auto report = [](size_t length) {
        useEnvironment({});
        kelError(kelSeverityWarning, "%s", std::string(length, 'a').c_str());
        exit(0);
    };
    // 254 characters and the line feed fill the 256-byte buffer exactly.
    EXPECT_EXIT(report(254), ExitedWithCode(0), StrEq("Warning: " + std::string(254, 'a') + "\n"));
    EXPECT_EXIT(report(255), ExitedWithCode(0), StrEq("Warning: " + std::string(251, 'a') + "...\n"));
    EXPECT_EXIT(report(5000), ExitedWithCode(0), StrEq("Warning: " + std::string(251, 'a') + "...\n"));
}

// A handler that records what it receives, for the in-process tests below;
// kelSetLocalErrorHandler puts the previous handler back afterwards.
struct Recorder {
    int calls = 0;
    int flags = -1;
    std::string text;
};

extern "C" void recordMessage(void* arg, int flags, const char* fmt, va_list args)
{
    Recorder* r = static_cast<Recorder*>(arg);
    char buf[128];
    vsnprintf(buf, sizeof buf, fmt, args);
    r->calls++;
    r->flags = flags;
    r->text = buf;
}

TEST(ErrorReporting, HandlerGetsFlagsArgumentAndFormattedArguments)
{
    Recorder r;
    kelSetLocalErrorHandler guard(recordMessage, &r);
    kelError(0x1200 | kelSeverityError, "%s=%d", "width", -3);
    EXPECT_EQ(1, r.calls);
    EXPECT_EQ(0x1200 | kelSeverityError, r.flags);
    EXPECT_EQ("width=-3", r.text);

    _kelDebug("%d-%s", 7, "x");
    EXPECT_EQ(2, r.calls);
    EXPECT_EQ(kelSeverityInfo, r.flags);
    EXPECT_EQ("7-x", r.text);
}

TEST(ErrorReporting, LocalHandlerRestoresThePreviousOne)
{
    Recorder outer, inner;
    kelSetLocalErrorHandler outerGuard(recordMessage, &outer);
    {
        kelSetLocalErrorHandler innerGuard(recordMessage, &inner);
        EXPECT_EQ(recordMessage, innerGuard.old_handler);
        EXPECT_EQ(&outer, innerGuard.old_arg);
        kelErrorHandler handler;
        void* arg;
        kelGetErrorHandler(&handler, &arg);
        EXPECT_EQ(&inner, arg);
        kelError(kelSeverityWarning, "inner");
    }
    kelError(kelSeverityWarning, "outer");
    EXPECT_EQ(1, inner.calls);
    EXPECT_EQ("inner", inner.text);
    EXPECT_EQ(1, outer.calls);
    EXPECT_EQ("outer", outer.text);
}

TEST(ErrorReporting, SetErrorHandlerInstallsThePair)
{
    Recorder r;
    kelSetLocalErrorHandler guard(recordMessage, nullptr);
    kelSetErrorHandler(recordMessage, &r);
    kelErrorHandler handler;
    void* arg;
    kelGetErrorHandler(&handler, &arg);
    EXPECT_EQ(recordMessage, handler);
    EXPECT_EQ(&r, arg);
    kelError(kelSeverityFatal, "no exit here");
    EXPECT_EQ(1, r.calls);
}

using AssertionDeathTest = ErrorHandler;

TEST_F(AssertionDeathTest, ReportsExpressionFileLineAndPid)
{
    EXPECT_DEATH(__kelAssert("a == b", "where.cpp", 12),
                 MatchesRegex("Internal KEL error: assertion failed: a == b, file where\\.cpp, line 12, pid [0-9]+\n"));
    EXPECT_DEATH(__kelAssert(nullptr, "where.cpp", 7),
                 MatchesRegex("Internal KEL error: file where\\.cpp, line 7, pid [0-9]+\n"));
}

TEST_F(AssertionDeathTest, AbortsWhateverTheHandler)
{
    auto scenario = [] {
        useEnvironment({"KEL_SILENT"});
        int count = 2;
        KEL_ASSERT(count == 3);
    };
    EXPECT_EXIT(scenario(), testing::KilledBySignal(SIGABRT),
                HasSubstr("Internal KEL error: assertion failed: count == 3, file "));
}

TEST(Assertion, EvaluatesItsExpressionOnce)
{
    int n = 0;
    KEL_ASSERT(++n == 1);
    EXPECT_EQ(1, n);
}

} // namespace
