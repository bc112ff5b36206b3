// The built program as Windows reads it before the game starts: its manifest, taken from
// the exe's resources by Windows' own activation-context calls, not from the source file.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// volkrin.exe lies beside the tests.
std::wstring builtGame()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1) + L"volkrin.exe";
}

// What Windows 10 and Wine give for the supported systems; MinGW's headers have an older
// element without its last field.
struct CompatibilityInformation {
    DWORD count;
    struct {
        GUID id;
        ACTCTX_COMPATIBILITY_ELEMENT_TYPE type;
        ULONGLONG maxVersionTested;
    } elements[1];
};

std::wstring setting(HANDLE context, const wchar_t* space, const wchar_t* name)
{
    wchar_t value[256] = L"";
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, context, space, name, value, 256, &written))
        return L"(none)";
    return value;
}

}  // namespace

TEST(WindowsProgram, ManifestAsksForItsOwnPixelsAtAnyScalingOnWindows10ThemedAndAsInvoker)
{
    const std::wstring game = builtGame();
    ACTCTXW request = {};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = game.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(1);  // CREATEPROCESS_MANIFEST_RESOURCE_ID
    const HANDLE context = CreateActCtxW(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "no manifest Windows reads: " << GetLastError();

    // Per-monitor awareness, version 2 first; Windows 8.1 reads the older per-monitor value.
    const wchar_t* const settings2016 = L"http://schemas.microsoft.com/SMI/2016/WindowsSettings";
    const wchar_t* const settings2005 = L"http://schemas.microsoft.com/SMI/2005/WindowsSettings";
    EXPECT_EQ(setting(context, settings2016, L"dpiAwareness"), L"PerMonitorV2, PerMonitor");
    EXPECT_EQ(setting(context, settings2005, L"dpiAware"), L"true/pm");

    // Made for Windows 10 and 11.
    CompatibilityInformation compatibility = {};
    SIZE_T size = 0;
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext,
                             &compatibility, sizeof compatibility, &size));
    const GUID windows10 = {0x8e0f7a12, 0xbfb3, 0x4fe8,
                            {0xb9, 0xa5, 0x48, 0xfd, 0x50, 0xa1, 0x5a, 0x9a}};
    ASSERT_EQ(compatibility.count, 1u);
    EXPECT_EQ(compatibility.elements[0].type, ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS);
    EXPECT_TRUE(IsEqualGUID(compatibility.elements[0].id, windows10));

    // The player's own rights: no elevation prompt.
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION runLevel = {};
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext,
                             &runLevel, sizeof runLevel, &size));
    EXPECT_EQ(runLevel.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(runLevel.UiAccess, 0u);

    // Common controls 6 (the themed message box): comctl32.dll comes from that assembly.
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context, &cookie));
    ACTCTX_SECTION_KEYED_DATA found = {};
    found.cbSize = sizeof found;
    EXPECT_TRUE(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                         L"comctl32.dll", &found));
    DWORD index = found.ulAssemblyRosterIndex;
    alignas(8) char assembly[4096] = {};
    EXPECT_TRUE(QueryActCtxW(0, context, &index, AssemblyDetailedInformationInActivationContext,
                             assembly, sizeof assembly, &size));
    const std::wstring identity =
        reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(assembly)
            ->lpAssemblyEncodedAssemblyIdentity;
    EXPECT_EQ(identity.rfind(L"Microsoft.Windows.Common-Controls,", 0), 0u) << identity.c_str();
    EXPECT_NE(identity.find(L"version=\"6."), std::wstring::npos) << identity.c_str();
    DeactivateActCtx(0, cookie);
    ReleaseActCtx(context);
}
