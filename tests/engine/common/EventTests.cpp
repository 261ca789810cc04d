#include "engine/common/base/CEventDelegateManager.h"

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

// How many sources and tracked delegates have ended; each test starts them at 0.
int g_sourceEnds = 0;
int g_delegateEnds = 0;

struct Source : CEventDelegateManager
{
    ~Source() override { ++g_sourceEnds; }
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

template <class T = Listener>
struct Tracked : TMemberFunctionEventDelegate<T>
{
    explicit Tracked(T* handler, void (T::*method)(void*, tagEventArgs*) = &T::OnEvent)
        : TMemberFunctionEventDelegate<T>(handler, method)
    {
    }
    ~Tracked() override { ++g_delegateEnds; }
};

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
    g_sourceEnds = g_delegateEnds = 0;
    Listener a{"a"}, b{"b"};
    TIntrusivePointer<IEventDelegate> held(new Tracked<>(&b), true);
    {
        Source source;
        EXPECT_TRUE(FireAndRecord(&source, 3).empty());
        source.Subscribe(1, nullptr);
        EXPECT_FALSE(source.HasSubscriber(1));
        source.AddMemberFunctionDelegate(3, &a, &Listener::OnEvent);
        source.AddMemberFunctionDelegate(4, &a, &Listener::OnOther);
        source.AddGlobalFunctionDelegate(3, &GlobalHandler);
        source.Subscribe(3, held.Get());
        source.Subscribe(5, new Tracked<>(&b));
        EXPECT_EQ(FireAndRecord(&source, 3, &source), (Calls{"a", "global", "b"}));
        EXPECT_EQ(a.lastSender, &source);
        EXPECT_EQ(FireAndRecord(&source, 4), (Calls{"other"}));

        // Removal by object takes only that object's member delegates.
        source.RemoveObjectDelegates(&a);
        source.RemoveObjectDelegates(nullptr);
        EXPECT_EQ(FireAndRecord(&source, 3), (Calls{"global", "b"}));
        EXPECT_FALSE(source.HasSubscriber(4));
        EXPECT_EQ(g_sourceEnds, 0) << "firing must never delete a source on the stack";
    }
    // The source's end releases its delegates, shared ones included.
    EXPECT_EQ(g_delegateEnds, 1);
    EXPECT_EQ(held->GetReferenceCount(), 1);
}

TEST(Events, DelegatesAddedOrRemovedDuringFiringWaitOrAreSkipped)
{
    static Listener late{"late"}, victim{"victim"};
    static bool added;
    added = false;
    g_delegateEnds = 0;
    Source source;
    g_source = &source;
    source.AddGlobalFunctionDelegate(1, [](void*, tagEventArgs* args) {
        Record(args, "first");
        g_source->RemoveObjectDelegates(&victim);
        if (!added)
            g_source->AddMemberFunctionDelegate(1, &late, &Listener::OnEvent);
        added = true;
    });
    source.Subscribe(1, new Tracked<>(&victim));
    EXPECT_EQ(FireAndRecord(&source, 1), (Calls{"first"}));
    EXPECT_EQ(g_delegateEnds, 1);
    EXPECT_EQ(FireAndRecord(&source, 1), (Calls{"first", "late"}));
}

TEST(Events, HandlersRemovingTheirOwnDelegateOrEverythingEndTheFiringCleanly)
{
    struct SelfRemover
    {
        int endsSeenAfterRemoval = -1;
        void OnEvent(void*, tagEventArgs*)
        {
            g_source->RemoveObjectDelegates(this);
            endsSeenAfterRemoval = g_delegateEnds;
        }
    };
    static Listener after{"after"};
    g_delegateEnds = 0;
    Source source;
    g_source = &source;
    SelfRemover remover;
    source.Subscribe(3, new Tracked<SelfRemover>(&remover));
    FireAndRecord(&source, 3);
    // The delegate whose handler was running lived until the handler returned.
    EXPECT_EQ(remover.endsSeenAfterRemoval, 0);
    EXPECT_EQ(g_delegateEnds, 1);
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
    g_sourceEnds = g_delegateEnds = 0;
    owner = TIntrusivePointer<Source>(new Source, true);
    Source* raw = owner.Get();
    raw->AddGlobalFunctionDelegate(6, [](void*, tagEventArgs* args) {
        Record(args, "closer");
        owner.Reset();
    });
    raw->Subscribe(6, new Tracked<>(&later));
    // The second delegate still ran: the source was alive for the whole firing.
    EXPECT_EQ(FireAndRecord(raw, 6), (Calls{"closer", "later"}));
    EXPECT_EQ(g_sourceEnds, 1);
    EXPECT_EQ(g_delegateEnds, 1);
}
