#include "platform/automation/MatchObjects.h"

#include <new>

#include "platform/automation/DispatchObject.h"

namespace {

using Results = std::shared_ptr<const MatchResults>;

constexpr DISPID countId = 1;
constexpr DISPID firstIndexId = 10001;
constexpr DISPID lengthId = 10002;
constexpr DISPID subMatchesId = 10003;

constexpr WORD readable = DISPATCH_PROPERTYGET | DISPATCH_METHOD;

class SubMatches final : public DispatchObject {
  public:
    SubMatches(Results results, std::size_t match) : results(std::move(results)), match(match) {}

  private:
    std::span<const Member> members() const override {
        static constexpr Member list[] = {{"Item", DISPID_VALUE, readable},
                                          {"Count", countId, readable}};
        return list;
    }

    HRESULT run(DISPID id, WORD, const Arguments& arguments, VARIANT& result) override {
        if (id == countId) {
            integerResult(result, LONG(results->groupCount));
            return S_OK;
        }
        if (arguments.count() != 1) {
            return DISP_E_BADPARAMCOUNT;
        }
        std::size_t group = 0;
        HRESULT found = indexArgument(arguments[0], results->groupCount, group);
        if (FAILED(found)) {
            return found;
        }
        return stringResult(result, results->keptText(match, group + 1));
    }

    Results results;
    std::size_t match;
};

class Match final : public DispatchObject {
  public:
    Match(Results results, std::size_t match) : results(std::move(results)), match(match) {}

  private:
    std::span<const Member> members() const override {
        static constexpr Member list[] = {{"Value", DISPID_VALUE, readable},
                                          {"FirstIndex", firstIndexId, readable},
                                          {"Length", lengthId, readable},
                                          {"SubMatches", subMatchesId, readable}};
        return list;
    }

    HRESULT run(DISPID id, WORD, const Arguments& arguments, VARIANT& result) override {
        if (arguments.count() != 0) {
            return DISP_E_BADPARAMCOUNT;
        }
        switch (id) {
        case DISPID_VALUE:
            return stringResult(result, results->keptText(match, 0));
        case firstIndexId:
            integerResult(result, LONG(results->start(match, 0)));
            return S_OK;
        case lengthId:
            integerResult(result, LONG(results->keptText(match, 0).size()));
            return S_OK;
        default: {
            return objectResult(result, new (std::nothrow) SubMatches(results, match));
        }
        }
    }

    Results results;
    std::size_t match;
};

class MatchCollection final : public DispatchObject {
  public:
    explicit MatchCollection(Results results) : results(std::move(results)) {}

  private:
    std::span<const Member> members() const override {
        static constexpr Member list[] = {{"Item", DISPID_VALUE, readable},
                                          {"Count", countId, readable}};
        return list;
    }

    HRESULT run(DISPID id, WORD, const Arguments& arguments, VARIANT& result) override {
        if (id == countId) {
            integerResult(result, LONG(results->matchCount()));
            return S_OK;
        }
        if (arguments.count() != 1) {
            return DISP_E_BADPARAMCOUNT;
        }
        std::size_t match = 0;
        HRESULT found = indexArgument(arguments[0], results->matchCount(), match);
        if (FAILED(found)) {
            return found;
        }
        return objectResult(result, new (std::nothrow) Match(results, match));
    }

    Results results;
};

} // namespace

IDispatch* createMatchCollection(std::shared_ptr<const MatchResults> results) {
    return new (std::nothrow) MatchCollection(std::move(results));
}
