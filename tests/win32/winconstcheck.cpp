// The Win32 constants that the portable code writes down itself, because it
// must not include <windows.h>, checked against <windows.h> while the
// Windows program is built. A wrong value stops the build. It lives with the
// tests because it reads headers of every layer.
#include <windows.h>
#include <winperf.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

#include "eligibility/perfdata.h"
#include "platform/dialogtemplate.h"
#include "platform/ui.h"
#include "platform/winconst.h"
#include "settings/tags.h"

namespace strennix::win {
namespace {

static_assert(std::cmp_equal(kWsMaximize, WS_MAXIMIZE));
static_assert(std::cmp_equal(kWsMinimize, WS_MINIMIZE));
static_assert(std::cmp_equal(kWsVisible, WS_VISIBLE));
static_assert(std::cmp_equal(kWsClipChildren, WS_CLIPCHILDREN));
static_assert(std::cmp_equal(kWsClipSiblings, WS_CLIPSIBLINGS));
static_assert(std::cmp_equal(kWsSysMenu, WS_SYSMENU));
static_assert(std::cmp_equal(kWsPopup, WS_POPUP));
static_assert(std::cmp_equal(kWsChild, WS_CHILD));
static_assert(std::cmp_equal(kWsExTopmost, WS_EX_TOPMOST));
static_assert(std::cmp_equal(kWsExToolWindow, WS_EX_TOOLWINDOW));
static_assert(std::cmp_equal(kWsExDlgModalFrame, WS_EX_DLGMODALFRAME));
static_assert(std::cmp_equal(kWsExTransparent, WS_EX_TRANSPARENT));

static_assert(std::cmp_equal(kSwShowNormal, SW_SHOWNORMAL));
static_assert(std::cmp_equal(kSwMaximize, SW_MAXIMIZE));
static_assert(std::cmp_equal(kSwRestore, SW_RESTORE));

static_assert(std::cmp_equal(kWmApp, WM_APP));
static_assert(std::cmp_equal(kWmNcLButtonDblClk, WM_NCLBUTTONDBLCLK));
static_assert(std::cmp_equal(kWmQueryEndSession, WM_QUERYENDSESSION));
static_assert(std::cmp_equal(kWmEndSession, WM_ENDSESSION));
static_assert(std::cmp_equal(kWmLButtonDown, WM_LBUTTONDOWN));
static_assert(std::cmp_equal(kWmLButtonUp, WM_LBUTTONUP));
static_assert(std::cmp_equal(kWmLButtonDblClk, WM_LBUTTONDBLCLK));
static_assert(std::cmp_equal(kEventObjectHide, EVENT_OBJECT_HIDE));
static_assert(std::cmp_equal(kEventObjectLocationChange, EVENT_OBJECT_LOCATIONCHANGE));
static_assert(std::cmp_equal(kEventObjectNameChange, EVENT_OBJECT_NAMECHANGE));
static_assert(std::cmp_equal(kObjIdWindow, OBJID_WINDOW));
static_assert(std::cmp_equal(kChildIdSelf, CHILDID_SELF));
static_assert(std::cmp_equal(kWmRButtonUp, WM_RBUTTONUP));
static_assert(std::cmp_equal(kHtCaption, HTCAPTION));
static_assert(std::cmp_equal(kVkEscape, VK_ESCAPE));

static_assert(std::cmp_equal(kNimAdd, NIM_ADD));
static_assert(std::cmp_equal(kNimModify, NIM_MODIFY));
static_assert(std::cmp_equal(kNimDelete, NIM_DELETE));
static_assert(std::cmp_equal(kNifMessage, NIF_MESSAGE));
static_assert(std::cmp_equal(kNifIcon, NIF_ICON));
static_assert(std::cmp_equal(kNifTip, NIF_TIP));

static_assert(std::cmp_equal(kMbOk, MB_OK));
static_assert(std::cmp_equal(kMbIconStop, MB_ICONSTOP));
static_assert(std::cmp_equal(kMbIconWarning, MB_ICONWARNING));
static_assert(std::cmp_equal(kMbIconInformation, MB_ICONINFORMATION));
static_assert(std::cmp_equal(kMbSetForeground, MB_SETFOREGROUND));
static_assert(std::cmp_equal(kMbTopmost, MB_TOPMOST));

static_assert(std::cmp_equal(kDiNormal, DI_NORMAL));
// A system colour as a colour value: its index with the top bit set.
static_assert(std::cmp_equal(kClBtnFace, 0x80000000U | COLOR_BTNFACE));

static_assert(std::cmp_equal(kWhCbt, WH_CBT));
static_assert(std::cmp_equal(kWhMouse, WH_MOUSE));

static_assert(std::cmp_equal(kPrimaryLangIdMask, PRIMARYLANGID(0xFFFF)));
static_assert(std::cmp_equal(kPlatformWin32Windows, VER_PLATFORM_WIN32_WINDOWS));
static_assert(std::cmp_equal(kPlatformWin32Nt, VER_PLATFORM_WIN32_NT));

static_assert(std::cmp_equal(kProcessQueryInformation, PROCESS_QUERY_INFORMATION));
static_assert(std::cmp_equal(kProcessVmRead, PROCESS_VM_READ));

static_assert(std::cmp_equal(kRegSz, REG_SZ));
static_assert(std::cmp_equal(kRegExpandSz, REG_EXPAND_SZ));
static_assert(std::cmp_equal(kRegBinary, REG_BINARY));
static_assert(std::cmp_equal(kRegDword, REG_DWORD));
static_assert(std::cmp_equal(kRegMultiSz, REG_MULTI_SZ));
static_assert(std::cmp_equal(kErrorSuccess, ERROR_SUCCESS));
static_assert(std::cmp_equal(kErrorFileNotFound, ERROR_FILE_NOT_FOUND));
static_assert(std::cmp_equal(kErrorInvalidHandle, ERROR_INVALID_HANDLE));
static_assert(std::cmp_equal(kErrorMoreData, ERROR_MORE_DATA));

static_assert(std::cmp_equal(kDialogSetFont, DS_SETFONT));
static_assert(std::cmp_equal(kListDoubleClick, LBN_DBLCLK));

// The style tags: every entry of the tables is a <windows.h> constant under
// its own name, and each table names each constant once.
#define STRENNIX_STYLE(name) \
  StyleTag { "<" #name ">", name }

constexpr std::array kWindowsStyles = {
    STRENNIX_STYLE(WS_BORDER),
    STRENNIX_STYLE(WS_CAPTION),
    STRENNIX_STYLE(WS_CHILD),
    STRENNIX_STYLE(WS_CHILDWINDOW),
    STRENNIX_STYLE(WS_CLIPCHILDREN),
    STRENNIX_STYLE(WS_CLIPSIBLINGS),
    STRENNIX_STYLE(WS_DISABLED),
    STRENNIX_STYLE(WS_DLGFRAME),
    STRENNIX_STYLE(WS_GROUP),
    STRENNIX_STYLE(WS_HSCROLL),
    STRENNIX_STYLE(WS_ICONIC),
    STRENNIX_STYLE(WS_MAXIMIZE),
    STRENNIX_STYLE(WS_MAXIMIZEBOX),
    STRENNIX_STYLE(WS_MINIMIZE),
    STRENNIX_STYLE(WS_MINIMIZEBOX),
    STRENNIX_STYLE(WS_OVERLAPPED),
    STRENNIX_STYLE(WS_OVERLAPPEDWINDOW),
    STRENNIX_STYLE(WS_POPUP),
    STRENNIX_STYLE(WS_POPUPWINDOW),
    STRENNIX_STYLE(WS_SIZEBOX),
    STRENNIX_STYLE(WS_SYSMENU),
    STRENNIX_STYLE(WS_TABSTOP),
    STRENNIX_STYLE(WS_THICKFRAME),
    STRENNIX_STYLE(WS_TILED),
    STRENNIX_STYLE(WS_TILEDWINDOW),
    STRENNIX_STYLE(WS_VISIBLE),
    STRENNIX_STYLE(WS_VSCROLL),
};

constexpr std::array kWindowsExStyles = {
    STRENNIX_STYLE(WS_EX_ACCEPTFILES),    STRENNIX_STYLE(WS_EX_APPWINDOW),
    STRENNIX_STYLE(WS_EX_CLIENTEDGE),     STRENNIX_STYLE(WS_EX_CONTEXTHELP),
    STRENNIX_STYLE(WS_EX_CONTROLPARENT),  STRENNIX_STYLE(WS_EX_DLGMODALFRAME),
    STRENNIX_STYLE(WS_EX_LEFT),           STRENNIX_STYLE(WS_EX_LEFTSCROLLBAR),
    STRENNIX_STYLE(WS_EX_LTRREADING),     STRENNIX_STYLE(WS_EX_MDICHILD),
    STRENNIX_STYLE(WS_EX_NOPARENTNOTIFY), STRENNIX_STYLE(WS_EX_OVERLAPPEDWINDOW),
    STRENNIX_STYLE(WS_EX_PALETTEWINDOW),  STRENNIX_STYLE(WS_EX_RIGHT),
    STRENNIX_STYLE(WS_EX_RIGHTSCROLLBAR), STRENNIX_STYLE(WS_EX_RTLREADING),
    STRENNIX_STYLE(WS_EX_STATICEDGE),     STRENNIX_STYLE(WS_EX_TOOLWINDOW),
    STRENNIX_STYLE(WS_EX_TOPMOST),        STRENNIX_STYLE(WS_EX_TRANSPARENT),
    STRENNIX_STYLE(WS_EX_WINDOWEDGE),
};

#undef STRENNIX_STYLE

template <std::size_t N, std::size_t M>
constexpr bool sameTags(const std::array<StyleTag, N>& ours,
                        const std::array<StyleTag, M>& windows) {
  const auto listed = [&windows](const StyleTag& entry) {
    return std::count_if(windows.begin(), windows.end(), [&entry](const StyleTag& constant) {
             return constant.tag == entry.tag && constant.value == entry.value;
           }) == 1;
  };
  return N == M && std::all_of(ours.begin(), ours.end(), listed);
}

static_assert(sameTags(kStyleTags, kWindowsStyles));
static_assert(sameTags(kExStyleTags, kWindowsExStyles));

}  // namespace
}  // namespace strennix::win

// The byte offsets at which the performance data is read.
namespace strennix::perf::layout {

static_assert(kBlockSignature == offsetof(PERF_DATA_BLOCK, Signature));
static_assert(kBlockTotalByteLength == offsetof(PERF_DATA_BLOCK, TotalByteLength));
static_assert(kBlockHeaderLength == offsetof(PERF_DATA_BLOCK, HeaderLength));
static_assert(kBlockNumObjectTypes == offsetof(PERF_DATA_BLOCK, NumObjectTypes));
static_assert(kBlockSize == sizeof(PERF_DATA_BLOCK));

static_assert(kObjectTotalByteLength == offsetof(PERF_OBJECT_TYPE, TotalByteLength));
static_assert(kObjectDefinitionLength == offsetof(PERF_OBJECT_TYPE, DefinitionLength));
static_assert(kObjectHeaderLength == offsetof(PERF_OBJECT_TYPE, HeaderLength));
static_assert(kObjectNameTitleIndex == offsetof(PERF_OBJECT_TYPE, ObjectNameTitleIndex));
static_assert(kObjectNumCounters == offsetof(PERF_OBJECT_TYPE, NumCounters));
static_assert(kObjectNumInstances == offsetof(PERF_OBJECT_TYPE, NumInstances));
static_assert(kObjectSize == sizeof(PERF_OBJECT_TYPE));

static_assert(kCounterByteLength == offsetof(PERF_COUNTER_DEFINITION, ByteLength));
static_assert(kCounterNameTitleIndex == offsetof(PERF_COUNTER_DEFINITION, CounterNameTitleIndex));
static_assert(kCounterSize == offsetof(PERF_COUNTER_DEFINITION, CounterSize));
static_assert(kCounterOffset == offsetof(PERF_COUNTER_DEFINITION, CounterOffset));
static_assert(kCounterDefinitionSize == sizeof(PERF_COUNTER_DEFINITION));

static_assert(kInstanceByteLength == offsetof(PERF_INSTANCE_DEFINITION, ByteLength));
static_assert(kInstanceNameOffset == offsetof(PERF_INSTANCE_DEFINITION, NameOffset));
static_assert(kInstanceNameLength == offsetof(PERF_INSTANCE_DEFINITION, NameLength));
static_assert(kInstanceSize == sizeof(PERF_INSTANCE_DEFINITION));

static_assert(kCounterBlockByteLength == offsetof(PERF_COUNTER_BLOCK, ByteLength));
static_assert(kCounterBlockSize == sizeof(PERF_COUNTER_BLOCK));

}  // namespace strennix::perf::layout
