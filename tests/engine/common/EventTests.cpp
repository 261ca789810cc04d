#include "engine/common/CEventDelegateManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace RVGameEngine::Common;

namespace {

struct tagTestEventArgs : tagEventArgs
{
    std::vector<std::string>* calls = nullptr;
    bool handled = false;
};

void Record(tagEventArgs* args, const char* what)
{
    static_cast<tagTestEventArgs*>(args)->calls->push_back(what);
}

void GlobalHandler(void*, tagEventArgs* args)
{
    Record(args, "global");
}

class Source : public CEventDelegateManager
{
public:
    explicit Source(int* deletions = nullptr) : m_deletions(deletions) {}
    ~Source() override
    {
        if (m_deletions != nullptr)
            ++*m_deletions;
    }

private:
    int* m_deletions;
};

class Listener
{
public:
    explicit Listener(const char* name) : m_name(name) {}
    void OnEvent(void* sender, tagEventArgs* args)
    {
        lastSender = sender;
        Record(args, m_name);
    }
    void OnOther(void*, tagEventArgs* args) { Record(args, "other"); }
    void* lastSender = nullptr;

private:
    const char* m_name;
};

// A delegate that reports its own end.
class TrackedDelegate : public TMemberFunctionEventDelegate<Listener>
{
public:
    TrackedDelegate(Listener* handler, int* deletions)
        : TMemberFunctionEventDelegate<Listener>(handler, &Listener::OnEvent), m_deletions(deletions)
    {
    }
    ~TrackedDelegate() override { ++*m_deletions; }

private:
    int* m_deletions;
};

std::vector<std::string> FireAndRecord(CEventDelegateManager* source, int32_t id, void* sender = nullptr)
{
    std::vector<std::string> calls;
    tagTestEventArgs args;
    args.calls = &calls;
    source->Fire(id, sender, &args);
    return calls;
}

using Calls = std::vector<std::string>;

} // namespace

TEST(Events, FireCallsMatchingDelegatesInSubscriptionOrder)
{
    Source source;
    Listener a("a"), b("b");
    EXPECT_TRUE(FireAndRecord(&source, 3).empty());
    source.AddMemberFunctionDelegate(3, &a, &Listener::OnEvent);
    source.AddMemberFunctionDelegate(4, &a, &Listener::OnOther);
    source.AddGlobalFunctionDelegate(3, &GlobalHandler);
    source.Subscribe(3, new TMemberFunctionEventDelegate<Listener>(&b, &Listener::OnEvent));
    EXPECT_EQ(FireAndRecord(&source, 3, &source), (Calls{"a", "global", "b"}));
    EXPECT_EQ(a.lastSender, &source);
    EXPECT_EQ(FireAndRecord(&source, 4), (Calls{"other"}));
}

TEST(Events, SubscribeSetsTheIdAndIgnoresNull)
{
    Source source;
    source.Subscribe(1, nullptr);
    EXPECT_FALSE(source.HasSubscriber(1));
    TIntrusivePointer<IEventDelegate> held(new CGlobalFunctionEventDelegate(&GlobalHandler), true);
    EXPECT_EQ(held->GetEventId(), -1);
    source.Subscribe(9, held.Get());
    EXPECT_EQ(held->GetEventId(), 9);
    EXPECT_EQ(held->GetReferenceCount(), 2);
    EXPECT_TRUE(source.HasSubscriber(9));
    EXPECT_FALSE(source.HasSubscriber(1));
    EXPECT_FALSE(held->IsMemberFunctionDelegate());
}

TEST(Events, HandlersAnswerThroughTheRecord)
{
    Source source;
    source.AddGlobalFunctionDelegate(0, [](void*, tagEventArgs* args) {
        static_cast<tagTestEventArgs*>(args)->handled = true;
    });
    Calls calls;
    tagTestEventArgs args;
    args.calls = &calls;
    source.Fire(0, nullptr, &args);
    EXPECT_TRUE(args.handled);
}

TEST(Events, DelegateSubscribedDuringFiringWaitsForTheNextFiring)
{
    static Source* source;
    static Listener late("late");
    Source local;
    source = &local;
    local.AddGlobalFunctionDelegate(2, [](void*, tagEventArgs* args) {
        Record(args, "first");
        source->AddMemberFunctionDelegate(2, &late, &Listener::OnEvent);
    });
    EXPECT_EQ(FireAndRecord(&local, 2), (Calls{"first"}));
    EXPECT_EQ(FireAndRecord(&local, 2), (Calls{"first", "late"}));
}

TEST(Events, DelegateRemovedDuringFiringIsNotCalledAndIsKeptAliveMeanwhile)
{
    static Source* source;
    static Listener victim("victim");
    int deletions = 0;
    Source local;
    source = &local;
    local.AddGlobalFunctionDelegate(1, [](void*, tagEventArgs* args) {
        Record(args, "remover");
        source->RemoveObjectDelegates(&victim);
    });
    local.Subscribe(1, new TrackedDelegate(&victim, &deletions));
    EXPECT_EQ(FireAndRecord(&local, 1), (Calls{"remover"}));
    EXPECT_EQ(deletions, 1);
    EXPECT_FALSE(local.HasSubscriber(5));
}

TEST(Events, HandlerRemovingItsOwnDelegateFinishesInALiveDelegate)
{
    struct SelfRemover
    {
        CEventDelegateManager* source = nullptr;
        int* deletions = nullptr;
        int deletionsSeenAfterRemoval = -1;
        void OnEvent(void*, tagEventArgs*)
        {
            source->RemoveObjectDelegates(this);
            deletionsSeenAfterRemoval = *deletions;
        }
    };
    struct Delegate : TMemberFunctionEventDelegate<SelfRemover>
    {
        Delegate(SelfRemover* remover, int* deletions)
            : TMemberFunctionEventDelegate<SelfRemover>(remover, &SelfRemover::OnEvent), count(deletions)
        {
        }
        ~Delegate() override { ++*count; }
        int* count;
    };
    int deletions = 0;
    Source source;
    SelfRemover remover;
    remover.source = &source;
    remover.deletions = &deletions;
    source.Subscribe(3, new Delegate(&remover, &deletions));
    FireAndRecord(&source, 3);
    EXPECT_EQ(remover.deletionsSeenAfterRemoval, 0);
    EXPECT_EQ(deletions, 1);
    EXPECT_FALSE(source.HasSubscriber(3));
}

TEST(Events, HandlerThatRemovesEverythingEndsTheFiringCleanly)
{
    static Source* source;
    static Listener after("after");
    Source local;
    source = &local;
    local.AddGlobalFunctionDelegate(1, [](void*, tagEventArgs* args) {
        Record(args, "clear");
        source->RemoveAllDelegates();
    });
    local.AddMemberFunctionDelegate(1, &after, &Listener::OnEvent);
    EXPECT_EQ(FireAndRecord(&local, 1), (Calls{"clear"}));
    EXPECT_FALSE(local.HasSubscriber(1));
    EXPECT_TRUE(FireAndRecord(&local, 1).empty());
}

TEST(Events, ReleasingTheSourceDuringFiringEndsItAfterFireReturns)
{
    static TIntrusivePointer<Source> owner;
    static Listener later("later");
    int sourceDeletions = 0;
    int delegateDeletions = 0;
    owner = TIntrusivePointer<Source>(new Source(&sourceDeletions), true);
    Source* raw = owner.Get();
    raw->AddGlobalFunctionDelegate(6, [](void*, tagEventArgs* args) {
        Record(args, "closer");
        owner.Reset();
    });
    raw->Subscribe(6, new TrackedDelegate(&later, &delegateDeletions));
    const Calls calls = FireAndRecord(raw, 6);
    // The second delegate still ran: the source was alive for the whole firing.
    EXPECT_EQ(calls, (Calls{"closer", "later"}));
    EXPECT_EQ(sourceDeletions, 1);
    EXPECT_EQ(delegateDeletions, 1);
}

TEST(Events, RemovalByObjectTakesOnlyThatObjectsMemberDelegates)
{
    Source source;
    Listener a("a"), b("b");
    source.AddMemberFunctionDelegate(1, &a, &Listener::OnEvent);
    source.AddMemberFunctionDelegate(2, &a, &Listener::OnOther);
    source.AddMemberFunctionDelegate(1, &b, &Listener::OnEvent);
    source.AddGlobalFunctionDelegate(1, &GlobalHandler);
    source.RemoveObjectDelegates(&a);
    EXPECT_EQ(FireAndRecord(&source, 1), (Calls{"b", "global"}));
    EXPECT_FALSE(source.HasSubscriber(2));
    source.RemoveObjectDelegates(nullptr);
    EXPECT_EQ(FireAndRecord(&source, 1), (Calls{"b", "global"}));
}

TEST(Events, DestroyingTheSourceDeletesItsDelegates)
{
    int deletions = 0;
    Listener handler("h");
    TIntrusivePointer<IEventDelegate> shared(new TrackedDelegate(&handler, &deletions), true);
    {
        TIntrusivePointer<Source> source(new Source, true);
        source->Subscribe(0, new TrackedDelegate(&handler, &deletions));
        source->Subscribe(0, new TrackedDelegate(&handler, &deletions));
        source->Subscribe(0, shared.Get());
    }
    EXPECT_EQ(deletions, 2);
    EXPECT_EQ(shared->GetReferenceCount(), 1);
}

TEST(Events, SourceOnTheStackIsNotDeletedByFiring)
{
    int deletions = 0;
    {
        Source source(&deletions);
        source.AddGlobalFunctionDelegate(0, &GlobalHandler);
        EXPECT_EQ(FireAndRecord(&source, 0), (Calls{"global"}));
        EXPECT_EQ(deletions, 0);
        EXPECT_EQ(source.GetReferenceCount(), 0);
    }
    EXPECT_EQ(deletions, 1);
}
