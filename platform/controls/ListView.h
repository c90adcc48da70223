#pragma once
// ListView in report view: rows of text under column headers, each row with
// a small icon taken by key from the image list set as SmallIcons and one
// text per further column (its sub-items). Widths are twips whatever the
// container's units. Rows and columns count from 1.
//
//   lvwTasks.SetSmallIcons(&ImageList1);
//   lvwTasks.ColumnHeaders().Add("Task Name");
//   auto& row = lvwTasks.ListItems().Add("Base Rate Report", "REPORT");
//   row.SetSubItem(1, "3/10/2025");
//
// Column headers keep their widths: a caption wider than its column is
// shown in a smaller type (down to 7 points) rather than cut.
//
// A click of the left button on a row raises ItemClick with the row; the
// mouse buttons raise MouseDown and MouseUp wherever they are pressed, before
// the click. Filling the list from code raises nothing.

#include "platform/forms/Control.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace controls {

class ImageList;
class ListView;

class ColumnHeader {
public:
    ColumnHeader(ListView& view, int index)
        : view_(view)
        , index_(index)
    {
    }
    int Index() const { return index_; }
    std::string Text() const;
    void SetText(std::string_view text);
    double Width() const;
    // A negative width raises 380.
    void SetWidth(double twips);

private:
    ListView& view_;
    int index_;
};

class ColumnHeaders {
public:
    explicit ColumnHeaders(ListView& view)
        : view_(view)
    {
    }
    // A column at the end; without a width it takes the control's default.
    ColumnHeader& Add(std::string_view text, double width = -1);
    void Clear();
    int Count() const { return static_cast<int>(headers_.size()); }
    // From 1; out of range raises 35600.
    ColumnHeader& operator()(int index) const;

private:
    ListView& view_;
    std::vector<std::unique_ptr<ColumnHeader>> headers_;
};

class ListItem {
public:
    ListItem(ListView& view, QTreeWidgetItem* item)
        : view_(view)
        , item_(item)
    {
    }
    // The row's position, from 1.
    int Index() const;
    std::string Text() const;
    void SetText(std::string_view text);
    const std::string& SmallIcon() const { return smallIcon_; }
    // A key of the SmallIcons list ("" for none); a key it lacks raises 35601,
    // and a key without any list set raises 35613.
    void SetSmallIcon(std::string_view key);
    // Column index + 1's text (SubItems(1) is the second column); an index
    // from 1 to ColumnHeaders().Count() - 1, otherwise 380.
    std::string SubItem(int index) const;
    void SetSubItem(int index, std::string_view text);
    bool Selected() const;

private:
    friend class ListItems;
    void checkSubItem(int index) const;

    ListView& view_;
    QTreeWidgetItem* item_;
    std::string smallIcon_;
};

class ListItems {
public:
    explicit ListItems(ListView& view)
        : view_(view)
    {
    }
    ListItem& Add(std::string_view text, std::string_view smallIcon = {});
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    // From 1; out of range raises 35600.
    ListItem& operator()(int index) const;

private:
    ListView& view_;
    std::vector<std::unique_ptr<ListItem>> items_;
};

class ListView : public forms::Control {
public:
    ListView(forms::Container& parent, std::string name, int index = -1);
    ~ListView() override;

    controls::ColumnHeaders& ColumnHeaders() { return headers_; }
    controls::ListItems& ListItems() { return items_; }
    // The image list the rows' small icons come from (not owned).
    void SetSmallIcons(ImageList* images) { smallIcons_ = images; }
    ImageList* SmallIcons() const { return smallIcons_; }

    forms::Event<ListItem&> ItemClick;

    // The widget and a row's place in it (tests click through them).
    QTreeWidget* Tree() const { return tree_; }

    void SetFont(const QFont& font) override;

protected:
    bool ClicksOnMouse() const override { return false; }

private:
    friend class ColumnHeader;
    friend class ColumnHeaders;
    friend class ListItem;
    friend class ListItems;
    void columnsChanged();
    // The headers' type, as large as the list's, as small as their columns need.
    void fitHeaders();

    QTreeWidget* tree_;
    std::vector<double> widths_;
    controls::ColumnHeaders headers_{*this};
    controls::ListItems items_{*this};
    ImageList* smallIcons_ = nullptr;
};

} // namespace controls
