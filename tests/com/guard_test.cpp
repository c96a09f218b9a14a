// The member boundary as a client sees it: HRESULT and error information; and ties.
#include "com/boundary.h"
#include "com/tie.h"
#include "testkit.h"
#include "zyk3D.h"
#include <stdexcept>

using testkit::TakeError;

using zyk::com::Boundary;
using zyk::com::Catch;
using zyk::com::Tie;

namespace {

template <class Body>
HRESULT Guard(const CLSID& clsid, const IID& iid, Body&& body)
{
    return Boundary(clsid, iid, body);
}

void Publish(const wchar_t* text) { zyk::com::PublishError(CLSID_Colour, IID_IColour, text, E_FAIL); }

const IID& kIid = IID_IColour;
const CLSID& kClsid = CLSID_Colour;

int Divide(int a, int b)
{
    volatile int x = a, y = b;
    return x / y;
}

void ExpectExceptionRaised(HRESULT hr)
{
    EXPECT_EQ(hr, E_FAIL);
    auto e = TakeError();
    ASSERT_TRUE(e.present);
    EXPECT_EQ(e.description, testkit::SystemText(E_FAIL) + L"Exception Raised.");
    EXPECT_TRUE(IsEqualGUID(e.guid, kIid));
    EXPECT_EQ(e.source, L"zyk3D.Colour.1");
    EXPECT_EQ(e.helpFile, L"");
    EXPECT_EQ(e.helpContext, 0u);
}

} // namespace

TEST(Guard, AccessViolationBecomesExceptionRaised)
{
    HRESULT hr = Guard(kClsid, kIid, [] {
        volatile int* p = nullptr;
        *p = 1;
    });
    ExpectExceptionRaised(hr);
}

TEST(Guard, DivisionFaultBecomesExceptionRaised)
{
    HRESULT hr = Guard(kClsid, kIid, [] { return static_cast<HRESULT>(Divide(1, 0)); });
    ExpectExceptionRaised(hr);
}

TEST(Guard, ExceptionChainIsIntactAfterAFault)
{
    for (int i = 0; i < 3; ++i) {
        HRESULT hr = Guard(kClsid, kIid, [] {
            volatile char* p = reinterpret_cast<char*>(static_cast<LONG_PTR>(GetCurrentProcessId() & 0));
            (void)*p;
        });
        ExpectExceptionRaised(hr);
    }
    // Platform code that handles its own faults still works, and C++ exceptions still
    // reach their handlers.
    EXPECT_TRUE(IsBadReadPtr(nullptr, 4));
    EXPECT_THROW(throw std::runtime_error("x"), std::runtime_error);
    EXPECT_EQ(Guard(kClsid, kIid, [] { throw failure(E_INVALIDARG, "Invalid Red Intensity."); }), E_INVALIDARG);
    EXPECT_EQ(TakeError().description, testkit::SystemText(E_INVALIDARG) + L"Invalid Red Intensity.");
}

TEST(Guard, NestedGuardKeepsTheFaultInside)
{
    HRESULT inner = S_OK;
    HRESULT outer = Guard(kClsid, kIid, [&] {
        inner = Guard(kClsid, kIid, [] {
            volatile int* p = nullptr;
            *p = 2;
        });
        return static_cast<HRESULT>(S_FALSE);
    });
    EXPECT_EQ(inner, E_FAIL);
    EXPECT_EQ(outer, S_FALSE);
}

TEST(Guard, ThrownFailureIsReportedWithItsCode)
{
    const HRESULT code = static_cast<HRESULT>(0x887601C2); // a DirectDraw code: no system text
    EXPECT_EQ(Guard(kClsid, kIid, [&] { throw failure(code, "Clear Failed."); }), code);
    auto e = TakeError();
    EXPECT_EQ(e.description, L"Clear Failed.");
    EXPECT_TRUE(IsEqualGUID(e.guid, kIid));
}

TEST(Guard, OtherExceptionsBecomeExceptionRaised)
{
    ExpectExceptionRaised(Guard(kClsid, kIid, [] { throw std::runtime_error("boom"); }));
    ExpectExceptionRaised(Guard(kClsid, kIid, [] { throw 42; }));
}

// What an earlier call left is never read as this call's: a success leaves nothing, even
// after a failure inside it; a returned failure keeps only what was published inside it.
TEST(Guard, ErrorInformationIsOnlyThatOfTheFailureReturned)
{
    Publish(L"left over");
    EXPECT_EQ(Guard(kClsid, kIid, [] {}), S_OK);
    EXPECT_FALSE(TakeError().present);
    Publish(L"left over");
    EXPECT_EQ(Guard(kClsid, kIid, [] { return static_cast<HRESULT>(E_NOINTERFACE); }), E_NOINTERFACE);
    EXPECT_FALSE(TakeError().present);
    EXPECT_EQ(Guard(kClsid, kIid, [] { Guard(kClsid, kIid, [] { throw failure(E_FAIL, "inner"); }); }), S_OK);
    EXPECT_FALSE(TakeError().present);
    EXPECT_EQ(Guard(kClsid, kIid,
                    [] {
                        Publish(L"own");
                        return static_cast<HRESULT>(E_FAIL);
                    }),
              E_FAIL);
    EXPECT_EQ(TakeError().description, L"own");
}

TEST(Guard, FailureOnlyConventionLetsOtherExceptionsThrough)
{
    EXPECT_EQ(Boundary(
                  kClsid, kIid, [] { throw failure(E_OUTOFMEMORY, 101u); }, Catch::FailureOnly),
              E_OUTOFMEMORY);
    EXPECT_EQ(TakeError().description, L"Out of Memory.");
    EXPECT_THROW(Boundary(
                     kClsid, kIid, [] { throw std::runtime_error("x"); }, Catch::FailureOnly),
                 std::runtime_error);
}

// A tie holds while every tie above it holds; cutting one lets go of all below it, and a
// tie made afresh under the same owner holds again.
TEST(Tie, CuttingLetsGoOfEverythingBelow)
{
    Tie device;
    Tie generation = Tie::Under(device);
    Tie collection = Tie::Under(generation), member = Tie::Under(collection), child = Tie::Under(member);
    EXPECT_TRUE(child.Held());
    member.Cut();
    EXPECT_FALSE(child.Held());
    EXPECT_TRUE(collection.Held());
    generation.Cut();
    EXPECT_FALSE(collection.Held());
    EXPECT_TRUE(device.Held());
    EXPECT_TRUE(Tie::Under(Tie::Under(device)).Held());
}

// A held tie moves to a new owner with what is under it; a let-go one stays let go.
TEST(Tie, MovingKeepsWhatIsUnderAHeldTieOnly)
{
    Tie object, first, second;
    Tie material = Tie::Under(object);
    EXPECT_TRUE(object.MoveUnder(first));
    first.Cut();
    EXPECT_FALSE(material.Held());
    EXPECT_FALSE(object.MoveUnder(second));
    EXPECT_FALSE(material.Held());
    EXPECT_FALSE(second.MoveUnder(Tie::Under(second)));
    EXPECT_TRUE(second.Held());
}
