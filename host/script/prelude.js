// The script's view of the run-time. Objects are made by class identifier and
// reached by member name through the run-time's late binding; the platform's
// special values, by-reference arguments and run-time errors have their
// script forms here. Evaluates to a function of the host's bridge and the global object.
(function (bridge, g) {
    "use strict";
    const HANDLE = "__q7handle";
    // Names the engine itself asks objects for; a run-time object answers none of them.
    const engineNames = new Set(["then", "toJSON", "valueOf", "constructor", "inspect"]);

    class Special {
        constructor(name) { this.name = name; Object.freeze(this); }
        toString() { return this.name; }
    }
    const Missing = new Special("Missing");
    // Nothing answers no member: reading one is run-time error 91, as on the platform.
    const Nothing = new Proxy(new Special("Nothing"), {
        get(target, name) {
            if (typeof name !== "string" || name === "name" || name === "toString" || engineNames.has(name)) return target[name];
            if (name === HANDLE) return undefined;
            return poisoned(makeError(91, bridge.standardDescription(91)));
        },
        set() { throw makeError(91, bridge.standardDescription(91)); },
    });

    // A by-reference argument: what the callee (or an event handler) leaves in it is in .value afterwards.
    class Ref {
        constructor(value) { this.value = value; }
        toString() { return String(this.value); }
    }

    function makeError(number, description) {
        const error = new Error(description);
        error.name = "AutomationError";
        error.number = number;
        error.description = description;
        return error;
    }

    // The engine loses an exception thrown while it looks up a member that
    // it is about to call (`obj.Name(…)` gives a TypeError instead). So a
    // member that cannot be read answers a function that throws the run-time
    // error when it is called or used as a value (text, number, argument).
    function poisoned(error) {
        const thrower = function () { throw error; };
        thrower[Symbol.toPrimitive] = thrower;
        thrower.toString = thrower;
        thrower.valueOf = thrower;
        thrower.__q7error = error;
        return thrower;
    }

    function plain(list) {
        if (list === undefined || list === null) return [];
        if (!Array.isArray(list)) throw makeError(13, "The arguments must be an array");
        return list.map(a => a instanceof Ref ? a.value : a);
    }
    function writeBack(list, updated) {
        if (Array.isArray(list))
            list.forEach((a, i) => { if (a instanceof Ref) a.value = updated[i]; });
    }
    function invoke(object, name, list) {
        const answer = bridge.call(object, name, plain(list));
        writeBack(list, answer.args);
        return answer;
    }

    function wrap(handle) {
        return new Proxy({}, {
            get(target, name) {
                if (typeof name !== "string" || engineNames.has(name)) return undefined;
                if (name === HANDLE) return handle;
                if (name === "toString") return () => "[object " + bridge.typeName(handle) + "]";
                const member = bridge.member(handle, name);
                if (member.error) return poisoned(member.error);
                if (!member.method) return member.value;
                return (...args) => invoke(handle, name, args).result;
            },
            set(target, name, value) {
                bridge.let(handle, String(name), [], value instanceof Ref ? value.value : value);
                return true;
            },
            has(target, name) { return name === HANDLE; },
            ownKeys() { return []; },
        });
    }
    function handleOf(value) {
        try { return value[HANDLE]; } catch (e) { return undefined; }
    }
    function functionNames(handlers) {
        const names = new Set();
        for (let o = handlers; o && o !== Object.prototype; o = Object.getPrototypeOf(o))
            for (const name of Object.getOwnPropertyNames(o))
                if (name !== "constructor" && typeof handlers[name] === "function") names.add(name);
        return [...names];
    }
    function makeDate(y, m, d, h, min, s, ms) { return new Date(y, m - 1, d, h, min, s, ms); }
    function text(value) {
        if (value === undefined) return "";
        if (value === null) return "Null";
        if (value instanceof Date) return dateText(value);
        return String(value);
    }
    function pad(n, width) { return String(n).padStart(width, "0"); }
    function dateText(date) {
        if (!(date instanceof Date)) throw makeError(13, "dateText needs a Date");
        const day = pad(date.getFullYear(), 4) + "-" + pad(date.getMonth() + 1, 2) + "-" + pad(date.getDate(), 2);
        if (date.getHours() || date.getMinutes() || date.getSeconds())
            return day + " " + pad(date.getHours(), 2) + ":" + pad(date.getMinutes(), 2) + ":" + pad(date.getSeconds(), 2);
        return day;
    }

    Object.assign(g, {
        Empty: undefined,
        Null: null,
        Missing: Missing,
        Nothing: Nothing,
        createObject: classId => bridge.createObject(classId),
        call: (object, name, args) => invoke(object, name, args === undefined ? [] : args),
        getProperty: (object, name, args) => bridge.get(object, name, plain(args)),
        letProperty: (object, name, args, value) => bridge.let(object, name, plain(args), value instanceof Ref ? value.value : value),
        raiseEvent: (source, name, args) => {
            const updated = bridge.raiseEvent(source, name, plain(args));
            writeBack(args, updated);
            return updated;
        },
        bindEvents: (source, prefix, handlers) => {
            const binding = bridge.bindEvents(source, prefix, handlers, functionNames(handlers));
            return { unbind: () => bridge.unbindEvents(binding) };
        },
        ref: value => new Ref(value),
        isEmpty: value => value === undefined,
        isNull: value => value === null,
        isMissing: value => value === Missing,
        isNothing: value => value === Nothing,
        isObject: value => value === Nothing || handleOf(value) !== undefined,
        sameObject: (a, b) => bridge.same(a, b),
        typeName: value => {
            if (value === undefined) return "Empty";
            if (value === null) return "Null";
            if (value === Nothing || value === Missing) return value.name;
            if (handleOf(value) !== undefined) return bridge.typeName(value);
            if (value instanceof Date) return "Date";
            if (Array.isArray(value)) return "Array";
            return { number: "Double", string: "String", boolean: "Boolean" }[typeof value] || "Object";
        },
        raiseError: (number, description) => {
            throw makeError(number, description === undefined ? bridge.standardDescription(number) : String(description));
        },
        dateValue: value => {
            const m = /^(\d{4})-(\d{2})-(\d{2})$/.exec(String(value));
            if (!m) throw makeError(13, "dateValue expects yyyy-mm-dd, got '" + value + "'");
            return new Date(Number(m[1]), Number(m[2]) - 1, Number(m[3]));
        },
        dateText: dateText,
        print: (...values) => bridge.writeOut(values.map(text).join(" ") + "\n"),
        readTextFile: path => bridge.readTextFile(path),
        writeTextFile: (path, content) => bridge.writeTextFile(path, String(content)),
        exit: status => bridge.exit(status === undefined ? 0 : status),
    });
    const log = (...values) => bridge.writeErr(values.map(text).join(" ") + "\n");
    g.console = { log: log, info: log, warn: log, error: log, debug: log };

    return { wrap, handleOf, isRef: value => value instanceof Ref, ref: value => new Ref(value), makeDate, makeError, Missing, Nothing };
})
