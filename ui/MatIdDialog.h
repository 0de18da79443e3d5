// The plug-in's tool window: the face list of the selected polyhedron and the paint commands.
#ifndef MATIDDIALOG_H
#define MATIDDIALOG_H

#include <afxwin.h>
#include <string>
#include <vector>

#include "host/HostMaterial.h"
#include "host/zvkapi.h"
#include "model/FaceListModel.h"
#include "settings/TextFileStream.h"
#include "ui/ColorListBox.h"
#include "ui/FaceListView.h"
#include "ui/FollowCommands.h"
#include "ui/ListCommands.h"
#include "ui/PanelCommands.h"
#include "ui/UndoCommands.h"
#include "ui/resource.h"

// Our commands beside the window's own (the face list's menu, undo and redo, the materials panel's
// rows) live in classes that own no window; they reach the window through CFaceListView and the
// two hooks of CToolWindowLink, which it answers as its own controls would.
class CMatIdDialog : public CDialog, private CToolWindowLink
{
public:
    explicit CMatIdDialog(CWnd* pParent = NULL);
    virtual ~CMatIdDialog() {}

    enum { IDD = IDD_MATID_TOOL };

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void PostNcDestroy();
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

    // Frame
    void OnClose();
    void OnSpareButton();
    void OnKillfocusFaceList();
    // Face list
    void OnLoadList();
    void OnClearList();
    void OnHelpButton();
    // Selection
    void OnSelchangeFaceList();
    // Painting
    void OnCopyMaterial();
    void OnPaintRandom();
    void OnPaintInvisible();
    void OnPaintFace();
    void OnPaintSelection();
    void OnPaintAll();
    // The face list's context menu, its commands and its Ctrl+letter keys
    void OnContextMenu(CWnd* pWnd, CPoint pos);
    LRESULT OnListCtrlKey(WPARAM vk, LPARAM shift);
    LRESULT OnFollowTimer(WPARAM nIDEvent, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    // Face list
    void ShowObjectName();
    bool AddFaceEntries(ZvkHandle polyhedron);
    void ShowListName(const char* name);
    void ListEmptied();
    void EnableForLoadedList();
    virtual void LoadListFollowing(ZvkHandle polyhedron);

    // Selection
    void PickFaceMaterial();
    void SelectSingleFace();
    void SelectMultipleFaces();
    void SetPaintButtons(int selected, int entries);
    void SelectionChanged();
    virtual void ListSelectionMade(int selected);

    // Painting
    enum EditorPaint { EDITOR_PAINT_READY, EDITOR_PAINT_NO_MATERIAL, EDITOR_PAINT_REFUSED };
    EditorPaint ReadyEditorPaint(CHostMaterial& probe);
    void PaintWithEditorMaterial(void (CMatIdDialog::*pfnWorker)());
    void PaintSelectedFace();
    void PaintSelectedFaces();
    void PaintWholePolyhedron();
    void MakeRandomColour();
    virtual bool ReadyToPaint(CHostMaterial& probe, CHostMaterial& paint);

    // Window position
    std::string GetSettingsPath();
    bool LoadPosition();
    bool SavePosition();

    // Our commands
    bool RunOwnCommand(UINT nID, bool& bHostChanged);
    void OnMaterials();

    // Bound to the controls by data exchange
    CString m_strItemText;
    CStatic m_listTitle;
    CColorListBox m_faceList;
    CStatic m_paintOptions;
    CButton m_btnCopyMaterial;
    CButton m_btnPaintRandom;
    CButton m_btnPaintInvisible;
    int m_bCopyMaterial;
    int m_bPaintRandom;
    int m_bPaintInvisible;
    CString m_strObjectName;

    CFaceListModel m_list;
    CFont m_listFont;
    bool m_bSaveFailed;
    int m_nTop;
    int m_nLeft;
    CTextFileStream m_settingsFile;

    CFaceListView m_view;
    CListCommands m_listCommands;
    CUndoCommands m_undoCommands;
    CPanelCommands m_panelCommands;
    CFollowCommands m_followCommands;
};

extern CMatIdDialog* g_pToolDialog;

#endif
