// How a child learns that its owner let it go.
//
// Every object has a tie of its own (ObjectRoot::OwnTie). An owner ties each child it makes
// or files under one of its ties (TieTo); when it lets the child go (removed from its
// collection, cleared, its device freed, the owner itself released) it cuts that tie, and
// every tie under it stops holding too, at any depth. A child never keeps a pointer to its
// owner for this: it asks Held(), or reaches what the owner handed it through Handed,
// which gives nothing once the child is let go. Objects are apartment-threaded: a tie is
// only used on its apartment's thread.
#pragma once
#include <windows.h>
#include <unknwn.h>
#include <memory>
#include "ptr.h"

namespace zyk::com {

class Tie {
public:
    // A tie to nothing: it holds until it is cut.
    Tie() : node_(std::make_shared<Node>()) {}

    // A new tie under owner: it holds while owner holds and until it is cut itself.
    static Tie Under(const Tie& owner)
    {
        Tie t;
        t.node_->owner = owner.node_;
        return t;
    }

    bool Held() const
    {
        for (const Node* n = node_.get(); n; n = n->owner.get())
            if (n->cut) return false;
        return true;
    }

    // Lets go of what is tied here: this tie and every tie under it stop holding.
    void Cut() const { node_->cut = true; }

    // This tie moved under owner, with what is tied under it: for an object filed by a new
    // owner while it and its own children are still held. A tie that no longer holds is
    // not revived: it is left as it is, and false returned. Moving a tie under one of its
    // own is refused the same way.
    bool MoveUnder(const Tie& owner) const
    {
        if (!Held()) return false;
        for (const Node* n = owner.node_.get(); n; n = n->owner.get())
            if (n == node_.get()) return false;
        node_->owner = owner.node_;
        return true;
    }

private:
    struct Node {
        bool cut = false;
        std::shared_ptr<Node> owner;
    };
    std::shared_ptr<Node> node_;
};

// The framework's own interface, answered by every class built on it: an owner ties the
// objects of its own module with it. Not in any type library.
struct IOwned : IUnknown {
    virtual HINSTANCE STDMETHODCALLTYPE OwnModule() = 0;
    virtual void STDMETHODCALLTYPE TieUnder(const Tie& owner, Tie* tied) = 0;
};
extern const IID IID_IOwned;

// Ties child under owner and gives the child's tie, for the owner to cut when it lets the
// child go: a child still held moves with what is tied under it; one that was let go gets
// a new tie, and what it had made before stays let go. An object of another module (or none) is not tied: its tie is one of its
// own, which cutting changes nothing for.
Tie TieTo(IUnknown* child, const Tie& owner);

// What an owner hands a child as a 32-bit integer (a device, a DirectDraw object), usable
// while the child is held as it was when it was handed: once the child is let go, Get
// gives nullptr, so that a member that needs it answers its "... Not Initialised." failure
// and never reaches a platform object the owner released. A child let go and tied afresh
// gets nothing back until it is handed the pointer again. Take keeps the pointer without a
// reference; Hold takes one of its own, for as long as it keeps the pointer.
template <class T>
class Handed {
public:
    explicit Handed(const Tie& holder) : holder_(&holder) {}
    Handed(const Handed&) = delete;
    Handed& operator=(const Handed&) = delete;

    void Take(long handle)
    {
        held_.Reset();
        p_ = FromHandle<T>(handle);
        taken_ = *holder_;
    }
    void Hold(long handle)
    {
        p_ = FromHandle<T>(handle);
        held_ = Ptr<T>(p_);
        taken_ = *holder_;
    }
    void Reset()
    {
        held_.Reset();
        p_ = nullptr;
    }

    T* Get() const { return p_ && taken_.Held() ? p_ : nullptr; }
    T* operator->() const { return Get(); }
    explicit operator bool() const { return Get() != nullptr; }
    // The pointer as the integer it is handed on as (0 once let go).
    long Handle() const { return ToHandle(Get()); }

private:
    const Tie* holder_;
    Tie taken_; // the holder's tie when the pointer was handed
    T* p_ = nullptr;
    Ptr<T> held_;
};

} // namespace zyk::com
