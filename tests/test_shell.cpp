// The plug-in as the host sees it: its binary, its resources, its exports and the tool window's life.
#include "support/PluginFixture.h"

class ToolWindowFrame : public ToolWindowTest
{
};

TEST_F(ToolWindowFrame, OpensInItsInitialState)
{
    EXPECT_EQ(0, EntryCount());
    EXPECT_EQ("Faces | matIDs list", ItemText(IDC_LIST_TITLE));
    EXPECT_EQ("", ItemText(IDC_OBJECT_NAME));
    EXPECT_EQ("", ItemText(IDC_ITEM_TEXT));
    for (int id : { IDC_COPY_MATERIAL, IDC_PAINT_RANDOM, IDC_PAINT_INVISIBLE })
        EXPECT_EQ(BST_UNCHECKED, CheckState(id)) << id;
    for (int id : { IDC_CLEAR_LIST, IDC_PAINT_OPTIONS, IDC_COPY_MATERIAL, IDC_PAINT_RANDOM,
                    IDC_PAINT_INVISIBLE, IDC_PAINT_FACE, IDC_PAINT_SELECTION, IDC_SPARE_BUTTON })
        EXPECT_FALSE(IsEnabled(id)) << id;
    for (int id : { IDC_FACE_LIST, IDC_LOAD_LIST, IDC_PAINT_ALL, IDC_HELP_BUTTON })
        EXPECT_TRUE(IsEnabled(id)) << id;
    EXPECT_FALSE(IsWindowVisible(Item(IDC_ITEM_TEXT)));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_SPARE_BUTTON)));
    EXPECT_EQ(GetSystemMetrics(SM_CYMENUCHECK), (int)SendMessage(m_list, LB_GETITEMHEIGHT, 0, 0));
    RECT frame;
    GetWindowRect(m_window, &frame);
    EXPECT_EQ(100, frame.left);
    EXPECT_EQ(100, frame.top);
}
