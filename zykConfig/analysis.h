// The analysis of the other servers that fills the dialog's lists, and the helpers its
// steps share. Each step creates one server's object in process and calls it early-bound;
// a step whose server cannot be created leaves the list with one "Not Registered." item
// and answers FALSE.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <initializer_list>

// A server's text in the applet's bounded buffers: always ends in a zero. The BSTR is
// freed.
const int kTextSize = 260;
void TakeText(BSTR text, char (&out)[kTextSize]);

// Appends the icon to the shared image list: its index there, or -1 without a list.
int AppendIcon(int iconId);

// Inserts an item at position of a ComboBoxEx list, with the image (and selected image)
// unless it is -1. The item keeps what it stands for: the 0-based position of its
// collection's item (or of its choice), which is what is saved and looked up.
void AddComboItem(HWND combo, int image, int position, const char* text, long standsFor);

// The position after the last item of a list: where the next fetched item goes, so that
// an item that could not be fetched leaves no gap.
int NextPosition(HWND combo);

// The collection position that the selected item of a ComboBoxEx list stands for; -1 when
// nothing is selected.
long ChosenPosition(HWND combo);
// Selects the item of a ComboBoxEx list that stands for a collection position; none when
// no item does.
void ChoosePosition(HWND combo, long position);

// A step's server could not be created: the list shows "Not Registered." (selected) and is
// disabled, and the option controls that need the server are hidden for the dialog's life.
void MarkNotRegistered(HWND dialog, int listId, std::initializer_list<int> hidden);

// The item at a 1-based position of a collection: its dispatch pointer is the item's dual
// interface. Null when the collection gave none.
template <class Item, class List>
Item* ItemAt(List* list, long position)
{
    VARIANT index, item;
    VariantInit(&index);
    VariantInit(&item);
    V_VT(&index) = VT_I4;
    V_I4(&index) = position;
    list->Item(index, &item);
    if (V_VT(&item) != VT_DISPATCH || !V_DISPATCH(&item)) {
        VariantClear(&item);
        return nullptr;
    }
    return static_cast<Item*>(V_DISPATCH(&item)); // the VARIANT's reference is handed over
}

// Adds an item to the list for each item of the collection, at the list's end and
// standing for the item's position in the collection: describe writes the item's text
// and answers the icon to append for it. Each item is released after.
template <class Item, class List, class Describe>
void FillList(HWND combo, List* list, Describe&& describe)
{
    long count = 0;
    list->get_Count(&count);
    for (long i = 1; i <= count; ++i) {
        Item* item = ItemAt<Item>(list, i);
        if (!item) continue;
        char text[kTextSize] = {};
        const int icon = describe(item, text);
        item->Release();
        AddComboItem(combo, AppendIcon(icon), NextPosition(combo), text, i - 1);
    }
}

BOOL ListGraphicsAdapters(HWND dialog);
BOOL List3DAdapters(HWND dialog);
BOOL ListSoundDevices(HWND dialog);
BOOL ListControllers(HWND dialog);
BOOL ShowProcessorInfo(HWND dialog);

// The controller chosen in list 1005: its attached state in 1019, and its control panel.
void ShowControllerState(HWND dialog);
void ConfigureController(HWND dialog);
// Releases the controller objects kept from the analysis (before COM is uninitialised).
void ReleaseControllers();
