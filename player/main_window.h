// The player's main window: a modal dialog from template 102 that owns the
// catalogue, the tree and list, the search controls, the video area, the skin
// and its buttons, and the presence socket. Its set-up runs in one fixed order
// (OnInitDialog); the steps that belong to the skin, the playback controls and
// the ad panels call named methods that those parts fill in.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "catalogue/category_tree_view.h"
#include "catalogue/movie_list_view.h"
#include "framework/dialog.h"
#include "gdi_object.h"
#include "presence.h"
#include "record_array.h"

class CPlayerDlg : public kavuno::ui::Dialog<CPlayerDlg> {
public:
    CPlayerDlg();
    ~CPlayerDlg() override;

    static const kavuno::ui::MessageEntry<CPlayerDlg> kMessageTable[];

    // Messages of the window's own.
    static constexpr UINT kPresenceSocketMessage = WM_APP + 1;  // socket notifications, never handled
    static constexpr UINT kCatalogueProblemMessage = WM_APP + 2;

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    bool PreTranslateMessage(MSG& msg) override;
    void OnCancel() override;

private:
    using BitmapButton = kavuno::ui::Control;  // the skinned push button takes this place
    using SliderControl = kavuno::ui::Control;  // the skinned position slider takes this place

    // Handlers.
    void OnClose();
    void OnMinimize();
    void OnHelp();
    void OnTreeClick(NMHDR* header, LRESULT& result);
    void OnSearch();
    void OnListGetDisplayInfo(NMHDR* header, LRESULT& result);
    void OnListFindItem(NMHDR* header, LRESULT& result);
    bool OnCatalogueProblem(WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The list fills; none clears the list first.
    void ShowRecent();
    void ShowCategory(std::string_view kind, std::string_view parent);

    // Set-up steps.
    void CentreOnScreen();
    void SetUpTreeAppearance();
    void SetUpListAppearance();
    void LoadRecords();
    void ApplySkin();
    void LoadButtonImages();
    void CreateAdPopup();
    void CreateVideoAreaControls();
    void CreateToolTips();

    // Shutdown.
    void StopPlayback();
    void FreeEmbeddedWindows();

    // Members, in the order the window's parts rely on.
    SliderControl m_sliderPos;
    kavuno::ui::Control m_comboSearchType;
    BitmapButton m_btnSearch;
    kavuno::player::MovieListView m_list;
    kavuno::player::CategoryTreeView m_tree;
    BitmapButton m_btnMinimize;
    BitmapButton m_btnMaximize;
    BitmapButton m_btnClose;
    BitmapButton m_btnFullScreen;
    BitmapButton m_btnStop;
    BitmapButton m_btnPlayPause;
    BitmapButton m_btnTopmost;
    BitmapButton m_btnMode;
    HICON m_hIcon = nullptr;
    kavuno::player::PresenceSocket m_socket;
    HWND m_tooltip = nullptr;
    kavuno::player::GdiObject<HBITMAP> m_bmpSkin;
    std::int32_t m_bHoverClose = 0;
    std::int32_t m_bHoverMinimize = 0;
    std::int32_t m_bHoverFullScreen = 0;
    std::int32_t m_bHoverStop = 0;
    std::int32_t m_bPlaying = 0;
    std::int32_t m_bHoverPlayPause = 0;
    std::int32_t m_bVideoShown = 0;
    std::int32_t m_bHoverTopmost = 0;
    std::int32_t m_bTopmost = 0;
    std::int32_t m_bShowVideo = 0;
    std::int32_t m_bPlayMode = 0;
    kavuno::player::GdiObject<HBRUSH> m_brDark;
    kavuno::player::GdiObject<HBRUSH> m_brLight;
    std::wstring m_strAppDir;
    kavuno::catalogue::RecordArray m_records;
    // m_pAdPopup: the ad pop-up window, with the ad panels.
    std::string m_strStreamAddress;
    std::int32_t m_nPlayerMode = 0;
    // m_pWmpPlayer, m_pRealPlayer, m_wmpControls, m_wmpMedia: the media player
    // controls and their dispatch holders, with the video area's controls.
    std::string m_strNowPlaying;
    // m_pBrowser: the video area's web browser control, with the ad panels.

    // What went wrong reading movie.dat, for the message shown once the window is up.
    std::wstring m_catalogueProblem;
};
