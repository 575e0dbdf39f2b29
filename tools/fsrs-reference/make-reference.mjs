// Reference values for the memory scheduler's tests.
// Run `npm install` in this folder, then
//   node make-reference.mjs > ../../tests/memory/data/fsrs-reference.json
// Every step reviews the card at a time given relative to the previous step
// ("after") or to the card's due time ("afterDue", negative: early).
import { createEmptyCard, fsrs, generatorParameters, Rating, State } from 'ts-fsrs';
import { readFileSync } from 'node:fs';

const MINUTE = 60 * 1000;
const HOUR = 60 * MINUTE;
const DAY = 24 * HOUR;

const scheduler = fsrs(generatorParameters({
  request_retention: 0.9,
  maximum_interval: 36500,
  enable_fuzz: false,
  enable_short_term: false,
}));

const m = (n) => ({ after: n * MINUTE });
const h = (n) => ({ after: n * HOUR });
const d = (n) => ({ after: n * DAY });
const due = (n = 0) => ({ afterDue: n * DAY });
const A = Rating.Again, H = Rating.Hard, G = Rating.Good, E = Rating.Easy;

const sequences = [
  {
    name: 'mixed ratings, same-day and overdue gaps',
    start: '2026-03-01T08:00:00.123Z',
    steps: [[m(0), G], [m(10), A], [h(2), H], [d(1), G], [d(3), G], [d(20), A],
            [h(5), G], [d(2), H], [d(90), G], [d(400), A], [d(1), G], [d(30), E]],
  },
  {
    name: 'a word missed again and again',
    start: '2026-01-15T21:30:00.000Z',
    steps: [[m(0), A], [m(3), A], [h(1), A], [h(3), H], [d(1), A], [d(1), A],
            [h(20), H], [d(2), A], [d(6), H], [due(), G], [due(), A], [d(180), H]],
  },
  {
    name: 'reviews on the due day, then months late',
    start: '2025-11-02T23:50:00.000Z',
    steps: [[m(0), H], [m(25), G], [due(), G], [due(), G], [due(), H], [due(), G],
            [due(), G], [due(-2), G], [d(240), G], [d(365), H], [due(), G], [d(3), A]],
  },
  {
    name: 'an easy word up to the longest interval',
    start: '2024-06-30T12:00:00.000Z',
    steps: [[m(0), E], [due(), E], [due(), E], [due(), E], [due(), E], [due(), E],
            [due(), E], [due(), E], [due(), E], [due(), E], [due(), G], [due(), A]],
  },
  {
    name: 'reviews either side of midnight UTC',
    start: '2026-05-10T23:59:59.999Z',
    steps: [[m(0), G], [{ after: 1 }, G], [h(23), H], [m(1), G], [h(47), A],
            [m(30), G], [d(1), G], [h(12), E], [d(10), H], [d(60), G]],
  },
];

const cardJson = (card) => ({
  stability: card.stability,
  difficulty: card.difficulty,
  due: card.due.getTime(),
  lastReview: card.last_review ? card.last_review.getTime() : 0,
  reps: card.reps,
  lapses: card.lapses,
  scheduledDays: card.scheduled_days,
  state: card.state,
});

const out = [];
for (const seq of sequences) {
  let now = Date.parse(seq.start);
  let card = createEmptyCard(new Date(now));
  const steps = [];
  for (const [when, rating] of seq.steps) {
    if (when.after !== undefined) now += when.after;
    else now = card.due.getTime() + when.afterDue;
    const retrievability = card.state === State.New
      ? 1 : scheduler.get_retrievability(card, new Date(now), false);
    card = scheduler.next(card, new Date(now), rating).card;
    steps.push({ now, rating, retrievabilityBefore: retrievability, card: cardJson(card) });
  }
  out.push({ name: seq.name, steps });
}

const pkg = JSON.parse(readFileSync(new URL('./node_modules/ts-fsrs/package.json', import.meta.url)));
console.log(JSON.stringify({
  generator: `ts-fsrs ${pkg.version}`,
  parameters: scheduler.parameters,
  sequences: out,
}, null, 1));
