// The plug-in's tool window: the face list of the selected polyhedron and the paint commands.
#ifndef MATIDDIALOG_H
#define MATIDDIALOG_H

#include <afxwin.h>
#include <string>
#include <vector>

#include "host/HostMaterial.h"
#include "host/HostPolyhedron.h"
#include "host/zvkapi.h"
#include "model/FaceListModel.h"
#include "model/PaintHistory.h"
#include "settings/TextFileStream.h"
#include "ui/ColorListBox.h"
#include "ui/ListPositions.h"
#include "ui/resource.h"

class CMatIdDialog : public CDialog
{
public:
    explicit CMatIdDialog(CWnd* pParent = NULL);
    virtual ~CMatIdDialog() {}

    enum { IDD = IDD_MATID_TOOL };

    // What the face list shows, for the materials panel.
    const CFaceListModel& List() const { return m_list; }
    // Whether the face list is of this polyhedron (asked of the host now); false for none.
    bool IsListOf(ZvkHandle polyhedron) const;
    // What the materials panel's rows ask: every face of the material selected, and the
    // material sent to the Material Editor.
    void SelectFacesOfMaterial(unsigned material);
    void ShowMaterialInEditor(unsigned material);
    // "Assign": the selected entries' faces that have another index get a copy of this slot.
    // "Replace": the faces of this index get what "Paint selection" would paint now. True when
    // faces were painted.
    bool AssignMaterial(unsigned material);
    bool ReplaceMaterial(unsigned material);
    int SelectedEntryCount() const { return m_faceList.GetSelCount(); }

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
    // The face list's context menu
    void OnContextMenu(CWnd* pWnd, CPoint pos);
    void OnSelectMaterial();
    void OnSelectPainted();
    void OnSelectToDo();
    void OnCopyList();
    void OnCopySelected();
    // "Materials..." and Ctrl+M
    void OnMaterials();
    // Undo and redo of paints, from the face list's menu or its keys
    void OnUndoPaint();
    void OnRedoPaint();
    // Ctrl+letter keys of the face list
    LRESULT OnListCtrlKey(WPARAM vk, LPARAM shift);

    DECLARE_MESSAGE_MAP()

private:
    // Face list
    void ShowObjectName();
    bool AddFaceEntries(ZvkHandle polyhedron);
    void ShowListName(const char* name);
    void ListEmptied();
    void SetEntryPaint(int entry, EntryPaint paint, bool redrawNow);

    // Selection
    void PickFaceMaterial();
    void SelectSingleFace();
    void SelectMultipleFaces();
    void SetPaintButtons(int selected, int entries);
    void SelectionChanged();

    // Painting
    enum EditorPaint { EDITOR_PAINT_READY, EDITOR_PAINT_NO_MATERIAL, EDITOR_PAINT_REFUSED };
    EditorPaint ReadyEditorPaint(CHostMaterial& probe);
    void PaintWithEditorMaterial(void (CMatIdDialog::*pfnWorker)());
    void PaintSelectedFace();
    void PaintSelectedFaces();
    void PaintWholePolyhedron();
    void MakeRandomColour();

    // Window position
    std::string GetSettingsPath();
    bool LoadPosition();
    bool SavePosition();

    // Context menu: find faces by material or paint state, copy the list
    void SelectEntriesByPaintState(bool painted);
    void SelectChosenEntries(ZvkHandle polyhedron, const std::vector<int>& chosen, int current);
    void SelectEntriesInList(const std::vector<int>& chosen, int current);
    void SelectEntriesOfMaterial(const CHostPolyhedron& polyhedron, int material, int current);
    void CopyEntries(const std::vector<int>& positions);
    std::string EntriesText(const std::vector<int>& positions);

    // Undo and redo
    void RestorePaint(bool undo);
    void PaintRestored();
    void ShowRestoredEntries(const CHostPolyhedron& polyhedron, const PaintStep& step,
                             const std::vector<std::uint32_t>& restored, bool undo);
    void FitUndoItems(CMenu* pPopup, ZvkHandle polyhedron);

    // The materials panel's paints
    void PaintFacesOfPanel(CHostPolyhedron& polyhedron, const std::vector<int>& faces, const CHostMaterial& material,
                           const std::vector<int>& selected);

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
    int m_nMenuEntry = -1;   // the entry the menu was opened on; -1 for none
};

extern CMatIdDialog* g_pToolDialog;

#endif
