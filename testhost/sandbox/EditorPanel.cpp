// The Material Editor panel: the editor's active material, and controls that change it, to try
// the plug-in against other editor states.
#include "Sandbox.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <functional>

namespace sandbox {

static std::string ShaderText(const Host& host, ZvkHandle shader)
{
    if (!shader)
        return "none";
    for (const Shader& known : host.shaders)
        if (known.handle == shader)
            return Format("shader %d", known.id);
    return Format("%p", shader);
}

void RefreshMaterialPanel(Host& host)
{
    ZvktMaterial material;
    zvktGetEditorMaterial(&material);
    const ZvkColor& c = material.colour;
    static const char* const shaderBoxes[] = { "null", "valid", "invalid" };
    const char* shaderBox = material.shaderBox >= 0 && material.shaderBox <= 2 ? shaderBoxes[material.shaderBox] : "?";
    std::string texture = material.textureType == ZVK_TEXTURE_GLOBAL ? "global (4)"
                        : material.textureType == 0 ? "none (0)" : Format("type %d", material.textureType);
    std::string text = Format("%d, %d, %d, %d\r\n#%02X%02X%02X\r\n%s\r\n%s\r\n%s",
                              c.r, c.g, c.b, c.a, c.r, c.g, c.b, texture.c_str(), shaderBox,
                              ShaderText(host, material.shader).c_str());
    char current[512] = "";
    GetWindowTextA(host.materialText, current, sizeof current);
    if (text != current)
        SetWindowTextA(host.materialText, text.c_str());
    InvalidateRect(host.swatch, NULL, FALSE);

    SendMessageA(host.textureCheck, BM_SETCHECK, material.textureType == ZVK_TEXTURE_GLOBAL ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageA(host.shaderBoxCombo, CB_SETCURSEL, material.shaderBox >= 0 && material.shaderBox <= 2 ? material.shaderBox : -1, 0);
    int shaderRow = material.shader ? -1 : 0;
    for (int i = 0; i < (int)host.shaders.size(); ++i)
        if (host.shaders[i].handle == material.shader)
            shaderRow = i + 1;
    SendMessageA(host.shaderCombo, CB_SETCURSEL, shaderRow, 0);
}

void DrawSwatch(const DRAWITEMSTRUCT* draw)
{
    ZvktMaterial material;
    zvktGetEditorMaterial(&material);
    RECT rect = draw->rcItem;
    HDC dc = draw->hDC;
    COLORREF colour = ToColorRef(material.colour);
    int alpha = material.colour.a;
    int width = rect.right - rect.left;
    // Left half: the colour; right half: the colour over a checkerboard, as alpha shows it.
    RECT left = { rect.left, rect.top, rect.left + width / 2, rect.bottom };
    FillSolid(dc, left, colour);
    const int square = 8;
    for (int y = rect.top; y < rect.bottom; y += square)
        for (int x = rect.left + width / 2; x < rect.right; x += square)
        {
            bool dark = (((x - rect.left - width / 2) / square) + ((y - rect.top) / square)) % 2 != 0;
            RECT cell = { x, y, std::min<int>(x + square, rect.right), std::min<int>(y + square, rect.bottom) };
            FillSolid(dc, cell, Blend(colour, dark ? RGB(96, 96, 96) : RGB(255, 255, 255), alpha));
        }
    FrameRect(dc, &rect, (HBRUSH)GetStockObject(BLACK_BRUSH));
}

void SetEditorMaterial(Host& host, const std::function<void(ZvktMaterial&)>& change)
{
    ZvktMaterial material;
    zvktGetEditorMaterial(&material);
    change(material);
    zvktSetEditorMaterial(&material);
    RefreshMaterialPanel(host);
}

static void ChooseEditorColour(Host& host)
{
    typedef BOOL(WINAPI * ChooseColorProc)(LPCHOOSECOLORA);
    static HMODULE comdlg = LoadLibraryA("comdlg32.dll");
    ChooseColorProc chooseColor = comdlg ? (ChooseColorProc)(void*)GetProcAddress(comdlg, "ChooseColorA") : NULL;
    if (!chooseColor)
        return;
    ZvktMaterial material;
    zvktGetEditorMaterial(&material);
    static COLORREF custom[16];
    CHOOSECOLORA choose;
    memset(&choose, 0, sizeof choose);
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = host.main;
    choose.rgbResult = ToColorRef(material.colour);
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!chooseColor(&choose))
        return;
    material.colour.r = GetRValue(choose.rgbResult);
    material.colour.g = GetGValue(choose.rgbResult);
    material.colour.b = GetBValue(choose.rgbResult);
    zvktSetEditorMaterial(&material);
    RefreshMaterialPanel(host);
}

void OnEditorCommand(Host& host, int id, int code)
{
    switch (id)
    {
    case IDC_COLOUR_BUTTON:
        if (code == BN_CLICKED)
            ChooseEditorColour(host);
        break;
    case IDC_TEXTURE_CHECK:
        if (code == BN_CLICKED)
        {
            bool on = SendMessageA(host.textureCheck, BM_GETCHECK, 0, 0) == BST_CHECKED;
            SetEditorMaterial(host, [&](ZvktMaterial& m) { m.textureType = on ? ZVK_TEXTURE_GLOBAL : 0; });
        }
        break;
    case IDC_SHADERBOX_COMBO:
        if (code == CBN_SELCHANGE)
        {
            int box = (int)SendMessageA(host.shaderBoxCombo, CB_GETCURSEL, 0, 0);
            SetEditorMaterial(host, [&](ZvktMaterial& m) { m.shaderBox = box; });
        }
        break;
    case IDC_SHADER_COMBO:
        if (code == CBN_SELCHANGE)
        {
            int row = (int)SendMessageA(host.shaderCombo, CB_GETCURSEL, 0, 0);
            SetEditorMaterial(host, [&](ZvktMaterial& m) { m.shader = row > 0 ? host.shaders[row - 1].handle : NULL; });
        }
        break;
    }
}

} // namespace sandbox
