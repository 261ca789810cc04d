#include "engine/common/CEventDelegateManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace RVGameEngine::Common;

namespace {

using Calls = std::vector<std::string>;

struct tagTestEventArgs : tagEventArgs
{
    Calls* calls = nullptr;
};

void Record(tagEventArgs* args, const char* what)
{
    static_cast<tagTestEventArgs*>(args)->calls->push_back(what);
}

void GlobalHandler(void*, tagEventArgs* args)
{
    Record(args, "global");
}

struct Source : CEventDelegateManager
{
    explicit Source(int* deletions = nullptr) : deletions(deletions) {}
    ~Source() override
    {
        if (deletions != nullptr)
            ++*deletions;
    }
    int* deletions;
};

struct Listener
{
    const char* name;
    void* lastSender = nullptr;
    void OnEvent(void* sender, tagEventArgs* args)
    {
        lastSender = sender;
        Record(args, name);
    }
    void OnOther(void*, tagEventArgs* args) { Record(args, "other"); }
};

// A delegate that reports its own end.
template <class T>
struct TrackedDelegate : TMemberFunctionEventDelegate<T>
{
    TrackedDelegate(T* handler, typename TMemberFunctionEventDelegate<T>::Handler method, int* deletions)
        : TMemberFunctionEventDelegate<T>(handler, method), m_deletions(deletions)
    {
    }
    ~TrackedDelegate() override { ++*m_deletions; }
    int* m_deletions;
};

TrackedDelegate<Listener>* Tracked(Listener* listener, int* deletions)
{
    return new TrackedDelegate<Listener>(listener, &Listener::OnEvent, deletions);
}

Calls FireAndRecord(CEventDelegateManager* source, int32_t id, void* sender = nullptr)
{
    Calls calls;
    tagTestEventArgs args;
    args.calls = &calls;
    source->Fire(id, sender, &args);
    return calls;
}

// The source a handler without captures works on.
Source* g_source = nullptr;

} // namespace

TEST(Events, FireCallsMatchingDelegatesInOrderAndRemovalByObjectTakesOnlyThose)
{
    int deletions = 0, sourceDeletions = 0;
    Listener a{"a"}, b{"b"};
    TIntrusivePointer<IEventDelegate> held(Tracked(&b, &deletions), true);
    {
        Source source(&sourceDeletions);
        EXPECT_TRUE(FireAndRecord(&source, 3).empty());
        source.Subscribe(1, nullptr);
        EXPECT_FALSE(source.HasSubscriber(1));
        source.AddMemberFunctionDelegate(3, &a, &Listener::OnEvent);
        source.AddMemberFunctionDelegate(4, &a, &Listener::OnOther);
        source.AddGlobalFunctionDelegate(3, &GlobalHandler);
        source.Subscribe(3, held.Get());
        source.Subscribe(5, Tracked(&b, &deletions));
        EXPECT_EQ(FireAndRecord(&source, 3, &source), (Calls{"a", "global", "b"}));
        EXPECT_EQ(a.lastSender, &source);
        EXPECT_EQ(FireAndRecord(&source, 4), (Calls{"other"}));

        // Removal by object takes only that object's member delegates.
        source.RemoveObjectDelegates(&a);
        source.RemoveObjectDelegates(nullptr);
        EXPECT_EQ(FireAndRecord(&source, 3), (Calls{"global", "b"}));
        EXPECT_FALSE(source.HasSubscriber(4));
        EXPECT_EQ(sourceDeletions, 0) << "firing must never delete a source on the stack";
    }
    // The source's end releases its delegates, shared ones included.
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(held->GetReferenceCount(), 1);
}

TEST(Events, DelegatesAddedOrRemovedDuringFiringWaitOrAreSkipped)
{
    static Listener late{"late"}, victim{"victim"};
    static bool added;
    added = false;
    int deletions = 0;
    Source source;
    g_source = &source;
    source.AddGlobalFunctionDelegate(1, [](void*, tagEventArgs* args) {
        Record(args, "first");
        g_source->RemoveObjectDelegates(&victim);
        if (!added)
            g_source->AddMemberFunctionDelegate(1, &late, &Listener::OnEvent);
        added = true;
    });
    source.Subscribe(1, Tracked(&victim, &deletions));
    EXPECT_EQ(FireAndRecord(&source, 1), (Calls{"first"}));
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(FireAndRecord(&source, 1), (Calls{"first", "late"}));
}

TEST(Events, HandlersRemovingTheirOwnDelegateOrEverythingEndTheFiringCleanly)
{
    struct SelfRemover
    {
        int* deletions = nullptr;
        int deletionsSeenAfterRemoval = -1;
        void OnEvent(void*, tagEventArgs*)
        {
            g_source->RemoveObjectDelegates(this);
            deletionsSeenAfterRemoval = *deletions;
        }
    };
    static Listener after{"after"};
    int deletions = 0;
    Source source;
    g_source = &source;
    SelfRemover remover;
    remover.deletions = &deletions;
    source.Subscribe(3, new TrackedDelegate<SelfRemover>(&remover, &SelfRemover::OnEvent, &deletions));
    FireAndRecord(&source, 3);
    // The delegate whose handler was running lived until the handler returned.
    EXPECT_EQ(remover.deletionsSeenAfterRemoval, 0);
    EXPECT_EQ(deletions, 1);
    EXPECT_FALSE(source.HasSubscriber(3));

    source.AddGlobalFunctionDelegate(1, [](void*, tagEventArgs* args) {
        Record(args, "clear");
        g_source->RemoveAllDelegates();
    });
    source.AddMemberFunctionDelegate(1, &after, &Listener::OnEvent);
    EXPECT_EQ(FireAndRecord(&source, 1), (Calls{"clear"}));
    EXPECT_FALSE(source.HasSubscriber(1));
}

TEST(Events, ReleasingTheSourceDuringFiringEndsItAfterFireReturns)
{
    static TIntrusivePointer<Source> owner;
    static Listener later{"later"};
    int sourceDeletions = 0;
    int delegateDeletions = 0;
    owner = TIntrusivePointer<Source>(new Source(&sourceDeletions), true);
    Source* raw = owner.Get();
    raw->AddGlobalFunctionDelegate(6, [](void*, tagEventArgs* args) {
        Record(args, "closer");
        owner.Reset();
    });
    raw->Subscribe(6, Tracked(&later, &delegateDeletions));
    // The second delegate still ran: the source was alive for the whole firing.
    EXPECT_EQ(FireAndRecord(raw, 6), (Calls{"closer", "later"}));
    EXPECT_EQ(sourceDeletions, 1);
    EXPECT_EQ(delegateDeletions, 1);
}
