// The plug-in's tool window: the face list of the selected polyhedron and the paint commands.
#ifndef MATIDDIALOG_H
#define MATIDDIALOG_H

#include <afxwin.h>
#include <string>
#include <vector>

#include "host/zvkapi.h"

#include "settings/TextFileStream.h"
#include "ui/ColorListBox.h"
#include "model/PaintHistory.h"
#include "ui/resource.h"

class CMatIdDialog : public CDialog
{
public:
    explicit CMatIdDialog(CWnd* pParent = NULL);
    virtual ~CMatIdDialog() {}

    enum { IDD = IDD_MATID_TOOL };

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
    CFont m_listFont;
    bool m_bSaveFailed;
    int m_nTop;
    int m_nLeft;
    CTextFileStream m_settingsFile;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void PostNcDestroy();
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    // Frame
    void OnClose();
    void OnSpareButton();
    void OnKillfocusFaceList();

    // Face list
    void OnLoadList();
    void OnClearList();
    void OnHelpButton();
    void ShowObjectName();
    bool AddFaceEntries(ZvkHandle polyhedron);

    // Selection
    void OnSelchangeFaceList();
    void PickFaceMaterial();
    void SelectSingleFace();
    void SelectMultipleFaces();
    void SetPaintButtons(int selected, int entries);
    void SelectionChanged(int selected);

    // Painting
    void OnCopyMaterial();
    void OnPaintRandom();
    void OnPaintInvisible();
    void OnPaintFace();
    void OnPaintSelection();
    void OnPaintAll();
    void PaintWithEditorMaterial(void (CMatIdDialog::*pfnWorker)());
    void PaintSelectedFace();
    void PaintSelectedFaces();
    void PaintWholePolyhedron();
    void MakeRandomColour();

    // Window position
    std::string GetSettingsPath();
    bool LoadPosition();
    bool SavePosition();

    // Context menu of the face list: find faces by material or paint state, copy the list
    int m_nMenuEntry = -1;   // the entry the menu was opened on; -1 for none
    void OnContextMenu(CWnd* pWnd, CPoint pos);
    void OnSelectMaterial();
    void OnSelectPainted();
    void OnSelectToDo();
    void SelectEntriesByPaintState(bool painted);
    void OnCopyList();
    void OnCopySelected();
    CPoint MenuPosition(CPoint pos, int entry);
    bool IsListOfPolyhedron(ZvkHandle polyhedron);
    void SelectChosenEntries(ZvkHandle polyhedron, const std::vector<int>& chosen, int current);
    void SelectEntriesInList(const std::vector<int>& chosen, int current);
    void CopyEntries(const std::vector<int>& positions);
    std::string EntriesText(const std::vector<int>& positions);

    // The materials panel: "Materials..." and Ctrl+M open it, the commands that change what it
    // shows refresh it, and its rows act through the face list.
    friend class CMaterialsPanel;
    void OnMaterials();
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    void SelectEntriesOfMaterial(ZvkHandle polyhedron, ZvkFace** faces, int material, int current);
    void SelectFacesOfMaterial(unsigned material);
    void ShowMaterialInEditor(unsigned material);
    // Undo and redo of paints, from the face list's menu or its keys
    void OnUndoPaint();
    void OnRedoPaint();
    void RestorePaint(bool undo);
    void PaintRestored();
    void ShowRestoredEntries(ZvkHandle polyhedron, const PaintStep& step, const std::vector<std::uint32_t>& restored, bool undo);
    void RewriteEntryTexts(std::vector<std::pair<int, std::string>> texts);
    void FitUndoItems(CMenu* pPopup, ZvkHandle polyhedron);

    // Ctrl+letter keys of the face list
    LRESULT OnListCtrlKey(WPARAM vk, LPARAM shift);

    DECLARE_MESSAGE_MAP()
};

extern CMatIdDialog* g_pToolDialog;

#endif
