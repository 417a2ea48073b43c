#include "platform/qt/page_bridge_script.h"

namespace zenvik {

namespace {

// Objects handed out to the program stay in `held` until the program lets
// go of them. The token tells this page's objects from those of a page that
// the view showed before: ids start again at every load.
//
// A current engine lacks members that the button search relies on; they are
// given here with their old meaning: an element's (and the document's)
// "all" is every element below it in document order, and such a collection
// has "length", "item(index)" and "tags(name)" (the elements with that tag
// name, without regard to case).
//
// A collection formed by a method call ("tags") comes back with its length
// and the scalar members of its elements, so that reading them costs no
// further round trip.
const char* const script = R"js(
(() => {
  if (globalThis.__zenvikBridge) return globalThis.__zenvikBridge;
  const token = Date.now().toString(36) + '.' + Math.random().toString(36).slice(2);
  const held = new Map();
  let nextId = 1;
  const none = { v: null };
  const scalarNames = ['type', 'name', 'id', 'title'];

  class Collection {
    constructor(items) { this.items = items; }
    get length() { return this.items.length; }
    item(index) {
      if (typeof index !== 'number') return null;
      const element = this.items[Math.trunc(index)];
      return element === undefined ? null : element;
    }
    tags(name) {
      const wanted = String(name).toLowerCase();
      return new Collection(this.items.filter(e => e.tagName.toLowerCase() === wanted));
    }
  }

  // Texts and numbers as they are, booleans as numbers, anything else null.
  function scalar(value) {
    if (typeof value === 'string' || typeof value === 'number') return value;
    if (typeof value === 'boolean') return value ? 1 : 0;
    return null;
  }

  function answer(value, withScalars) {
    if (value === null || typeof value !== 'object') return { v: scalar(value) };
    const id = nextId++;
    held.set(id, value);
    const out = { t: token, id: id };
    if (value instanceof Collection) {
      out.length = value.length;
      if (withScalars) out.items = value.items.map(e => scalarNames.map(n => scalar(e[n])));
    }
    return out;
  }

  function resolve(ref) {
    if (!ref || ref.t !== token) return undefined;
    const object = held.get(ref.id);
    if (ref.i === undefined || object === undefined) return object;
    return object instanceof Collection ? (object.item(ref.i) ?? undefined) : undefined;
  }

  function member(object, name) {
    if (name === 'all' && (object instanceof Element || object instanceof Document))
      return new Collection(Array.from(object.querySelectorAll('*')));
    return object[name];
  }

  const bridge = {
    run(request) {
      return JSON.stringify(this.reply(request));
    },
    reply(request) {
      try {
        switch (request.op) {
        case 'document':
          return answer(document, false);
        case 'get': {
          const object = resolve(request.ref);
          return object === undefined ? none : answer(member(object, request.member), false);
        }
        case 'call': {
          const object = resolve(request.ref);
          const method = object === undefined ? undefined : object[request.member];
          if (typeof method !== 'function') return none;
          return answer(method.apply(object, request.args), true);
        }
        case 'release':
          if (request.ref && request.ref.t === token) held.delete(request.ref.id);
          return none;
        case 'count':
          return { v: held.size };
        }
      } catch (e) {
      }
      return none;
    }
  };
  globalThis.__zenvikBridge = bridge;
  return bridge;
})
)js";

} // namespace

const QString& pageBridgeScript() {
    static const QString source = QString::fromUtf8(script);
    return source;
}

} // namespace zenvik
