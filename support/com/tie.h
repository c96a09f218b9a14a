// How a child learns that its owner let it go, and how what it made of its owner's platform
// objects goes with them.
//
// Every object has a tie of its own (ObjectRoot::OwnTie). An owner ties each child it makes
// or files under one of its ties (TieTo); when it lets the child go (removed from its
// collection, cleared, its device freed, the owner itself released) it cuts that tie, and
// every tie under it stops holding too, at any depth. A child never keeps a pointer to its
// owner for this: it asks Held(), or reaches what the owner handed it through Handed,
// which gives nothing once the child is let go.
//
// What a child keeps of the platform (a reference on a handed DirectDraw object, a surface
// or a shape it made on a handed device) it keeps in Handed or Kept on its tie: cutting a
// tie releases all of that at and under it before the owner releases the platform objects
// themselves, so nothing is released after what it needs is gone. ReleaseKept does the
// same without letting go: the owner is about to hand new platform objects to children it
// still holds. Objects are apartment-threaded: a tie is only used on its apartment's thread.
#pragma once
#include <windows.h>
#include <unknwn.h>
#include <memory>
#include <vector>
#include "ptr.h"

namespace zyk::com {

// What a tie keeps for a holder: released when the tie or one above it is cut.
class KeptSlot {
public:
    virtual ~KeptSlot() = default;
    virtual void LetGo() = 0;
};

class Tie {
public:
    // A tie to nothing: it holds until it is cut.
    Tie() : node_(std::make_shared<Node>()) {}

    // A new tie under owner: it holds while owner holds and until it is cut itself.
    static Tie Under(const Tie& owner)
    {
        Tie t;
        t.node_->owner = owner.node_;
        Add(owner.node_->under, t.node_);
        return t;
    }

    bool Held() const
    {
        for (const Node* n = node_.get(); n; n = n->owner.get())
            if (n->cut) return false;
        return true;
    }

    // Lets go of what is tied here: this tie and every tie under it stop holding, and what
    // they keep is released.
    void Cut() const
    {
        node_->cut = true;
        ReleaseKept();
    }

    // Releases what this tie and every tie under it keep, deepest first; the ties still hold.
    void ReleaseKept() const { Release(node_.get()); }

    // This tie moved under owner, with what is tied under it: for an object filed by a new
    // owner while it and its own children are still held. A tie that no longer holds is
    // not revived: it is left as it is, and false returned. Moving a tie under one of its
    // own is refused the same way.
    bool MoveUnder(const Tie& owner) const
    {
        if (!Held()) return false;
        for (const Node* n = owner.node_.get(); n; n = n->owner.get())
            if (n == node_.get()) return false;
        if (node_->owner == owner.node_) return true;
        node_->owner = owner.node_;
        Add(owner.node_->under, node_);
        return true;
    }

    // Keeps slot here until this tie or one above it is cut (or ReleaseKept), or the slot
    // goes first.
    void Keep(const std::shared_ptr<KeptSlot>& slot) const { Add(node_->kept, slot); }

    bool operator==(const Tie& other) const { return node_ == other.node_; }

private:
    struct Node {
        bool cut = false;
        std::shared_ptr<Node> owner;
        std::vector<std::weak_ptr<Node>> under; // a tie moved away stays listed; its owner tells
        std::vector<std::weak_ptr<KeptSlot>> kept;
    };

    // Appends to a list of weak references, dropping the expired ones whenever it has doubled.
    template <class T>
    static void Add(std::vector<std::weak_ptr<T>>& list, const std::shared_ptr<T>& item)
    {
        if (list.size() >= 16 && list.size() == list.capacity()) {
            std::erase_if(list, [](const std::weak_ptr<T>& w) { return w.expired(); });
            list.reserve(list.size() * 2 + 16);
        }
        list.push_back(item);
    }

    static void Release(Node* top)
    {
        std::vector<std::shared_ptr<Node>> order, pending{};
        for (const auto& w : top->under)
            if (auto n = w.lock(); n && n->owner.get() == top) pending.push_back(n);
        while (!pending.empty()) {
            auto n = pending.back();
            pending.pop_back();
            for (const auto& w : n->under)
                if (auto c = w.lock(); c && c->owner == n) pending.push_back(c);
            order.push_back(std::move(n));
        }
        for (auto it = order.rbegin(); it != order.rend(); ++it) LetGoOf(**it);
        LetGoOf(*top);
    }

    static void LetGoOf(Node& n)
    {
        auto kept = std::move(n.kept);
        n.kept.clear();
        for (const auto& w : kept)
            if (auto slot = w.lock()) slot->LetGo();
    }

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
// a new tie, and what it had made before stays let go. An object of another module (or
// none) is not tied: its tie is one of its own, which cutting changes nothing for.
Tie TieTo(IUnknown* child, const Tie& owner);

// A platform object that a child made of what it was handed (a surface, a shape, a sound
// buffer), or holds a reference on: kept on the holder's tie as it is when the object is
// set, and released when that tie is cut or its kept objects released, or when reset.
template <class T>
class Kept {
public:
    explicit Kept(const Tie& holder) : holder_(&holder) {}
    Kept(const Kept&) = delete;
    Kept& operator=(const Kept&) = delete;

    // Keeps p (adding a reference of its own), releasing what it kept before.
    void Set(T* p)
    {
        std::shared_ptr<Slot> next;
        if (p) {
            next = std::make_shared<Slot>();
            next->p = Ptr<T>(p);
            holder_->Keep(next);
        }
        Reset();
        slot_ = std::move(next);
    }
    void Set(const Ptr<T>& p) { Set(p.Get()); }
    void Reset()
    {
        if (slot_) slot_->p.Reset();
        slot_.reset();
    }

    T* Get() const { return slot_ ? slot_->p.Get() : nullptr; }
    T* operator->() const { return Get(); }
    explicit operator bool() const { return Get() != nullptr; }

private:
    struct Slot final : KeptSlot {
        Ptr<T> p;
        void LetGo() override { p.Reset(); }
    };
    const Tie* holder_;
    std::shared_ptr<Slot> slot_;
};

// What an owner hands a child as a 32-bit integer (a device, a DirectDraw object), usable
// while the child is held as it was when it was handed: once the child is let go (or the
// owner released what its ties keep), Get gives nullptr, so that a member that needs it
// answers its "... Not Initialised." failure and never reaches a platform object the owner
// released. A child let go and tied afresh gets nothing back until it is handed the
// pointer again. Take keeps the pointer without a reference; Hold takes one of its own,
// for as long as it keeps the pointer and its tie holds.
template <class T>
class Handed {
public:
    explicit Handed(const Tie& holder) : holder_(&holder) {}
    Handed(const Handed&) = delete;
    Handed& operator=(const Handed&) = delete;

    void Take(long handle) { Hand(handle, false); }
    void Hold(long handle) { Hand(handle, true); }
    void Reset()
    {
        if (slot_) slot_->LetGo();
        slot_.reset();
    }

    T* Get() const { return slot_ && slot_->p && taken_.Held() ? slot_->p : nullptr; }
    T* operator->() const { return Get(); }
    explicit operator bool() const { return Get() != nullptr; }
    // The pointer as the integer it is handed on as (0 once let go).
    long Handle() const { return ToHandle(Get()); }

private:
    struct Slot final : KeptSlot {
        T* p = nullptr;
        Ptr<T> held;
        void LetGo() override
        {
            held.Reset();
            p = nullptr;
        }
    };
    void Hand(long handle, bool hold)
    {
        std::shared_ptr<Slot> next;
        if (T* p = FromHandle<T>(handle)) {
            next = std::make_shared<Slot>();
            next->p = p;
            if (hold) next->held = Ptr<T>(p);
            holder_->Keep(next);
        }
        Reset(); // after the new reference: the same pointer handed again stays alive
        taken_ = *holder_;
        slot_ = std::move(next);
    }

    const Tie* holder_;
    Tie taken_; // the holder's tie when the pointer was handed
    std::shared_ptr<Slot> slot_;
};

} // namespace zyk::com
