// 16-bit arithmetic that refuses to wrap: every helper exactly at and just past its limits.

#include "board/checked16.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tessfield {
namespace {

using Op = std::function<Int16(Int16, Int16)>;

struct LimitCase {
    const char *name;
    Op op;
    Int16 a;
    Int16 b;
    Int16 expected;
};

// The last representable result of each operation must come back exact; board sizes of
// 32767 cells reach these limits in the index arithmetic.
TEST(Checked16, ComputesResultsUpToTheLimits)
{
    const std::vector<LimitCase> cases = {
        {"add max", add16, 32766, 1, 32767},
        {"add min", add16, -32767, -1, -32768},
        {"add mixed", add16, 32767, -32768, -1},
        {"sub max", sub16, 32766, -1, 32767},
        {"sub min", sub16, -32767, 1, -32768},
        {"sub zero", sub16, -32768, -32768, 0},
        {"mul max", mul16, 181, 181, 32761},
        {"mul 1 x max", mul16, 1, 32767, 32767},
        {"mul min", mul16, -32768, 1, -32768},
        {"mul -1 x max", mul16, -1, 32767, -32767},
        {"div truncates", div16, -7, 2, -3},
        {"div min by 1", div16, -32768, 1, -32768},
        {"div max by -1", div16, 32767, -1, -32767},
        {"mod sign of dividend", mod16, -7, 2, -1},
        {"mod positive", mod16, 16, 15, 1},
        {"mod min by -1", mod16, -32768, -1, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.op(c.a, c.b), c.expected) << c.name;
}

struct OverflowCase {
    Op op;
    Int16 a;
    Int16 b;
    std::string operation;
};

// One step past the range is an OverflowError that names the step, so a failed setup
// says which computation went wrong instead of producing a wrapped index.
TEST(Checked16, ThrowsNamedOverflowJustPastTheLimits)
{
    const std::vector<OverflowCase> cases = {
        {add16, 32767, 1, "addition"},       {add16, -32768, -1, "addition"},
        {sub16, -32768, 1, "subtraction"},   {sub16, 32767, -1, "subtraction"},
        {sub16, 0, -32768, "subtraction"},   {mul16, 182, 181, "multiplication"},
        {mul16, 2, 16384, "multiplication"}, {mul16, -32768, -1, "multiplication"},
        {div16, -32768, -1, "division"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.operation + " of " + std::to_string(c.a) + ", " + std::to_string(c.b));
        try {
            (void)c.op(c.a, c.b);
            ADD_FAILURE() << "no overflow";
        } catch (const OverflowError &error) {
            EXPECT_EQ(std::string(error.what()), "16-bit overflow in " + c.operation);
        }
    }
}

// Division by zero is a domain error, distinct from overflow, and not undefined behaviour.
TEST(Checked16, RefusesDivisionByZero)
{
    EXPECT_THROW((void)div16(1, 0), std::domain_error);
    EXPECT_THROW((void)mod16(1, 0), std::domain_error);
    EXPECT_THROW((void)div16(0, 0), std::domain_error);
}

// Narrowing from a wider integer keeps exactly the 16-bit range.
TEST(Checked16, NarrowsWiderIntegersOnlyWhenTheyFit)
{
    EXPECT_EQ(toInt16(32767), 32767);
    EXPECT_EQ(toInt16(-32768), -32768);
    EXPECT_THROW((void)toInt16(32768), OverflowError);
    EXPECT_THROW((void)toInt16(-32769), OverflowError);
    EXPECT_THROW((void)toInt16(1LL << 40), OverflowError);
    static_assert(add16(32766, 1) == 32767, "usable in constant expressions");
}

} // namespace
} // namespace tessfield
