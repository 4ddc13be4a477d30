// Calls by dispatch id against an automation object of the test's own that
// records what Invoke receives and answers what the test tells it to; and
// the ownership of the dispatch holder.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/ownership_variant.h"
#include "framework/dispatch_holder.h"

namespace {

using kavuno::ui::CallByDispId;
using kavuno::ui::DispatchHolder;
using kavuno::ui::DispatchKind;
using kavuno::ui::kEmptyOptional;

// One argument as Invoke saw it (a reference is described by its target).
struct SeenArg {
    VARTYPE vt = VT_EMPTY;
    std::wstring text;
    VARIANT_BOOL boolean = 0;
    LONG int32 = 0;
    double real = 0;
    VARTYPE target = VT_EMPTY;
};

class RecordingDispatch : public IDispatch {
public:
    LONG references = 1;
    // The last call.
    DISPID id = 0;
    WORD flags = 0;
    bool nullInterfaceId = false;
    std::vector<SeenArg> args;  // in rgvarg order: the last argument first
    std::vector<DISPID> named;
    // The answer.
    HRESULT reply = S_OK;
    SCODE exceptionCode = S_OK;  // with reply DISP_E_EXCEPTION
    kavuno::win::OwnedVariant result;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }  // the test owns the object
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    // The one name it knows, for calls by name.
    std::wstring knownName = L"SetVolume";
    DISPID knownId = 4242;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (count != 1) return E_INVALIDARG;
        *ids = knownName == names[0] ? knownId : DISPID_UNKNOWN;
        return *ids == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID, WORD invokeFlags, DISPPARAMS* params,
                                     VARIANT* out, EXCEPINFO* exception, UINT*) override {
        id = member;
        flags = invokeFlags;
        nullInterfaceId = iid == IID_NULL;
        args.clear();
        named.assign(params->rgdispidNamedArgs, params->rgdispidNamedArgs + params->cNamedArgs);
        for (UINT i = 0; i < params->cArgs; ++i) {
            const VARIANT& v = params->rgvarg[i];
            SeenArg seen;
            seen.vt = v.vt;
            if (v.vt == VT_BSTR) seen.text.assign(v.bstrVal, SysStringLen(v.bstrVal));
            if (v.vt == VT_BOOL) seen.boolean = v.boolVal;
            if (v.vt == VT_I4) seen.int32 = v.lVal;
            if (v.vt == VT_R8) seen.real = v.dblVal;
            if (v.vt == (VT_BYREF | VT_VARIANT)) seen.target = v.pvarVal->vt;
            args.push_back(seen);
        }
        if (reply == DISP_E_EXCEPTION && exception) {
            exception->scode = exceptionCode;
            exception->bstrDescription = SysAllocString(L"failed inside");
        }
        if (SUCCEEDED(reply) && out) VariantCopy(out, result.get());
        return reply;
    }
};

constexpr char kGbkChinese[] = "\xD5\xFD\xD4\xDA\xB2\xA5\xB7\xC5 A1";  // "正在播放 A1" in GBK
constexpr wchar_t kWideChinese[] = L"\u6B63\u5728\u64AD\u653E A1";

TEST(DispatchCall, ByNameInvokesTheIdTheObjectGivesAndNothingForANameItDoesNotKnow) {
    RecordingDispatch object;
    auto call = CallByName(&object, L"SetVolume", DispatchKind::Method, {std::int32_t{45}});
    EXPECT_EQ(call.hr, S_OK);
    EXPECT_EQ(object.id, 4242);
    ASSERT_EQ(object.args.size(), 1u);
    EXPECT_EQ(object.args[0].int32, 45);
    object.id = 0;
    EXPECT_EQ(CallByName(&object, L"SetMute", DispatchKind::PropertyPut, {true}).hr, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(object.id, 0) << "nothing invoked";
    EXPECT_EQ(CallByName<std::int32_t>(nullptr, L"SetVolume", DispatchKind::Method).hr, E_POINTER);
}

TEST(DispatchCall, ArgumentsReachInvokeLastFirstWithTheirTypes) {
    RecordingDispatch object;
    auto call = CallByDispId(&object, 104, DispatchKind::Method,
                             {std::string(kGbkChinese), true, false, std::int32_t{-75000}, 59.5, kEmptyOptional});
    EXPECT_EQ(call.hr, S_OK);
    EXPECT_EQ(object.id, 104);
    EXPECT_EQ(object.flags, DISPATCH_METHOD);
    EXPECT_TRUE(object.nullInterfaceId);
    EXPECT_TRUE(object.named.empty());
    ASSERT_EQ(object.args.size(), 6u);
    EXPECT_EQ(object.args[5].vt, VT_BSTR);
    EXPECT_EQ(object.args[5].text, kWideChinese);
    EXPECT_EQ(object.args[4].vt, VT_BOOL);
    EXPECT_EQ(object.args[4].boolean, VARIANT_TRUE);  // -1, not 1
    EXPECT_EQ(object.args[3].vt, VT_BOOL);
    EXPECT_EQ(object.args[3].boolean, VARIANT_FALSE);
    EXPECT_EQ(object.args[2].vt, VT_I4);
    EXPECT_EQ(object.args[2].int32, -75000);
    EXPECT_EQ(object.args[1].vt, VT_R8);
    EXPECT_EQ(object.args[1].real, 59.5);
    EXPECT_EQ(object.args[0].vt, VT_BYREF | VT_VARIANT);
    EXPECT_EQ(object.args[0].target, VT_EMPTY);

    // A text with a zero byte inside keeps its full length; an empty text is an empty BSTR.
    CallByDispId(&object, 1, DispatchKind::Method, {std::string("a\0b", 3), ""});
    ASSERT_EQ(object.args.size(), 2u);
    EXPECT_EQ(object.args[1].text, std::wstring(L"a\0b", 3));
    EXPECT_EQ(object.args[0].vt, VT_BSTR);
    EXPECT_EQ(object.args[0].text, L"");
}

TEST(DispatchCall, PropertyPutsNameTheirValueAndGetsDoNot) {
    RecordingDispatch object;
    EXPECT_TRUE(CallByDispId(&object, 56, DispatchKind::PropertyPut, {75.0}).ok());
    EXPECT_EQ(object.flags, DISPATCH_PROPERTYPUT);
    EXPECT_EQ(object.named, std::vector<DISPID>{DISPID_PROPERTYPUT});
    ASSERT_EQ(object.args.size(), 1u);
    EXPECT_EQ(object.args[0].vt, VT_R8);
    EXPECT_EQ(object.args[0].real, 75.0);

    object.result->vt = VT_R8;
    object.result->dblVal = 12.25;
    auto position = CallByDispId<double>(&object, 56, DispatchKind::PropertyGet);
    EXPECT_EQ(object.flags, DISPATCH_PROPERTYGET);
    EXPECT_TRUE(object.named.empty());
    EXPECT_TRUE(object.args.empty());
    EXPECT_EQ(position.hr, S_OK);
    EXPECT_EQ(position.value, 12.25);
}

TEST(DispatchCall, ResultsComeBackInTheAskedType) {
    RecordingDispatch object;
    object.result->vt = VT_I4;
    object.result->lVal = 4;
    EXPECT_EQ(CallByDispId<std::int32_t>(&object, 260, DispatchKind::Method).value, 4);

    // A control may answer in a narrower type; it is widened, not refused.
    object.result.Reset();
    object.result->vt = VT_I2;
    object.result->iVal = -3;
    EXPECT_EQ(CallByDispId<std::int32_t>(&object, 260, DispatchKind::Method).value, -3);
    EXPECT_EQ(CallByDispId<double>(&object, 757, DispatchKind::PropertyGet).value, -3.0);

    object.result->vt = VT_BOOL;
    object.result->boolVal = VARIANT_TRUE;
    EXPECT_TRUE(CallByDispId<bool>(&object, 267, DispatchKind::Method).value);
    object.result->boolVal = VARIANT_FALSE;
    auto no = CallByDispId<bool>(&object, 267, DispatchKind::Method);
    EXPECT_EQ(no.hr, S_OK);
    EXPECT_FALSE(no.value);

    object.result->vt = VT_BSTR;
    object.result->bstrVal = SysAllocString(kWideChinese);
    auto text = CallByDispId<std::string>(&object, 331, DispatchKind::Method);
    EXPECT_EQ(text.hr, S_OK);
    EXPECT_EQ(text.value, kGbkChinese);

    // A text that is not a number is a failed call with the default value.
    auto number = CallByDispId<std::int32_t>(&object, 259, DispatchKind::Method);
    EXPECT_FALSE(number.ok());
    EXPECT_EQ(number.value, 0);
}

TEST(DispatchCall, NumbersGivenAsTextReadTheSameInEveryLocale) {
    // The user's locale writes decimals with a comma and groups digits with a point.
    wchar_t decimal[8] = {}, group[8] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8);
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, group, 8);
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, L","));
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, L"."));
    RecordingDispatch object;
    auto answer = [&](const wchar_t* text) {
        object.result.Reset();
        object.result->vt = VT_BSTR;
        object.result->bstrVal = SysAllocString(text);
    };
    const struct {
        const wchar_t* text;
        double seconds;
        std::int32_t milliseconds;
    } numbers[] = {{L"59.5", 59.5, 60},    {L" 59,5 ", 59.5, 60}, {L"1500", 1500, 1500},
                   {L"+75.25", 75.25, 75}, {L"-1", -1, -1},       {L"1e3", 1000, 1000}};
    for (const auto& n : numbers) {
        answer(n.text);
        const auto real = CallByDispId<double>(&object, 56, DispatchKind::PropertyGet);
        EXPECT_EQ(real.hr, S_OK);
        EXPECT_EQ(real.value, n.seconds) << static_cast<const void*>(n.text);
        answer(n.text);
        EXPECT_EQ(CallByDispId<std::int32_t>(&object, 259, DispatchKind::Method).value, n.milliseconds);
    }
    for (const wchar_t* notANumber : {L"1.234,5", L"1,234,5", L"12 s", L"", L"\u0665"}) {
        answer(notANumber);
        const auto real = CallByDispId<double>(&object, 56, DispatchKind::PropertyGet);
        EXPECT_FALSE(real.ok());
        EXPECT_EQ(real.value, 0.0);
    }
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal);
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, group);
}

TEST(DispatchCall, FailuresArePassedThroughWithDefaultValues) {
    RecordingDispatch object;
    object.result->vt = VT_I4;
    object.result->lVal = 9;
    object.reply = DISP_E_MEMBERNOTFOUND;
    auto state = CallByDispId<std::int32_t>(&object, 999, DispatchKind::Method);
    EXPECT_EQ(state.hr, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(state.value, 0);
    EXPECT_EQ(CallByDispId(&object, 202, DispatchKind::Method).hr, DISP_E_MEMBERNOTFOUND);

    // An exception reports the object's own error code.
    object.reply = DISP_E_EXCEPTION;
    object.exceptionCode = E_ACCESSDENIED;
    EXPECT_EQ(CallByDispId<std::string>(&object, 331, DispatchKind::Method).hr, E_ACCESSDENIED);

    // No object: nothing is called, and the caller can tell.
    auto none = CallByDispId<std::string>(nullptr, 331, DispatchKind::Method, {std::string("x")});
    EXPECT_EQ(none.hr, E_POINTER);
    EXPECT_TRUE(none.value.empty());
}

TEST(DispatchHolder, TakesObjectResultsAndReleasesOnReplaceAndDestruction) {
    RecordingDispatch player;
    RecordingDispatch first;
    RecordingDispatch second;
    {
        DispatchHolder controls;
        EXPECT_FALSE(controls);
        EXPECT_EQ(controls.Call(51, DispatchKind::Method).hr, E_POINTER);  // empty: a safe no-op

        player.result->vt = VT_DISPATCH;
        player.result->pdispVal = &first;  // the recorded answer holds no reference of its own
        controls = CallByDispId<DispatchHolder>(&player, 4, DispatchKind::PropertyGet).value;
        EXPECT_EQ(controls.get(), &first);
        EXPECT_EQ(first.references, 2);  // the test's and the holder's

        EXPECT_TRUE(controls.Call(53, DispatchKind::Method).ok());
        EXPECT_EQ(first.id, 53);

        player.result->pdispVal = &second;
        controls = CallByDispId<DispatchHolder>(&player, 4, DispatchKind::PropertyGet).value;
        EXPECT_EQ(first.references, 1);  // released on replace
        EXPECT_EQ(second.references, 2);

        DispatchHolder moved = std::move(controls);
        EXPECT_FALSE(controls);
        EXPECT_EQ(moved.get(), &second);
        EXPECT_EQ(second.references, 2);  // a move neither adds nor drops a reference

        // A failed read leaves the holder given to it empty.
        player.reply = E_FAIL;
        auto failed = CallByDispId<DispatchHolder>(&player, 6, DispatchKind::PropertyGet);
        EXPECT_FALSE(failed.ok());
        EXPECT_FALSE(failed.value);
        player.reply = S_OK;
        player.result->vt = VT_EMPTY;  // not ours to release
    }
    EXPECT_EQ(second.references, 1);  // released on destruction
    EXPECT_EQ(first.references, 1);
}

TEST(ComPtr, ACopyIsAReferenceOfItsOwnAndOtherInterfacesAreAskedFor) {
    using kavuno::ui::ComPtr;
    RecordingDispatch object;
    {
        ComPtr<IDispatch> taken(&object, false);  // takes the test's reference over
        object.AddRef();                          // ... so the test keeps one of its own
        EXPECT_EQ(object.references, 2);
        ComPtr<IDispatch> copy(taken);
        EXPECT_EQ(object.references, 3);
        ComPtr<IUnknown> unknown = copy.As<IUnknown>(IID_IUnknown);
        EXPECT_EQ(unknown.get(), static_cast<IUnknown*>(&object));
        EXPECT_EQ(object.references, 4);
        EXPECT_FALSE(copy.As<IClassFactory>(IID_IClassFactory)) << "an interface it does not have";
        EXPECT_FALSE(ComPtr<IDispatch>().As<IUnknown>(IID_IUnknown));
        copy = ComPtr<IDispatch>(&object, true);  // the old reference goes, a new one comes
        EXPECT_EQ(object.references, 4);
        IDispatch** out = copy.Out();  // emptied for an out-parameter
        EXPECT_EQ(*out, nullptr);
        EXPECT_EQ(object.references, 3);
        ComPtr<IDispatch> none(nullptr, true);
        EXPECT_FALSE(none);
        EXPECT_EQ(taken.Detach(), &object);  // given up without a release
        EXPECT_EQ(object.references, 3);
    }
    EXPECT_EQ(object.references, 2);  // the unknown's went; the detached one is the test's to drop
}

}  // namespace
