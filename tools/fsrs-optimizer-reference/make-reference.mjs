// Reference fit and evaluation for the memory optimizer's tests.
// Run `npm install` in this folder, then
//   node make-reference.mjs > ../../tests/memory/data/fsrs-optimizer-reference.json
// It simulates one learner whose memory follows known weights far from the
// defaults, writes the review log that learner leaves, fits weights to it with
// the pinned optimizer (its default timeout) and evaluates the defaults, the
// true and the fitted weights on the whole log. Everything is deterministic:
// the simulation has a fixed seed and the optimizer's fit is deterministic.
import {
  computeParameters,
  FSRSBinding,
  FSRSBindingItem,
  FSRSBindingReview,
} from '@open-spaced-repetition/binding';

const DAY = 24 * 60 * 60 * 1000;
const START = Date.parse('2025-01-06T00:00:00.000Z');

const DEFAULTS = [0.212, 1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194, 0.001, 1.8722,
  0.1666, 0.796, 1.4835, 0.0614, 0.2629, 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658,
  0.1542];
// A learner who keeps new words much longer than the defaults expect, whose
// stability grows more slowly with each review and forgets along a steeper
// curve. Without short-term steps the weights 17-19 play no part: zero, as the
// optimizer leaves them.
const TRUE_WEIGHTS = [1.1, 3.2, 7.5, 21.0, 5.2, 1.1, 1.6, 0.02, 1.15, 0.32, 1.35, 2.1, 0.2,
  0.42, 1.1, 0.45, 2.6, 0, 0, 0, 0.45];

// mulberry32: small, fast and the same on every machine.
function random(seed) {
  let a = seed >>> 0;
  return () => {
    a = (a + 0x6d2b79f5) >>> 0;
    let t = a;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

// FSRS-6 without short-term steps, in doubles: the simulated learner's memory.
function model(w) {
  const decay = -w[20];
  const factor = Math.pow(0.9, 1 / decay) - 1;
  const clampD = (d) => Math.min(Math.max(d, 1), 10);
  const clampS = (s) => Math.min(Math.max(s, 0.001), 36500);
  const initD = (g) => w[4] - Math.exp((g - 1) * w[5]) + 1;
  return {
    recall: (t, s) => Math.pow(1 + factor * t / s, decay),
    interval: (s, retention) => s / factor * (Math.pow(retention, 1 / decay) - 1),
    first: (g) => ({ s: clampS(w[g - 1]), d: clampD(initD(g)) }),
    next: ({ s, d }, t, g) => {
      const r = Math.pow(1 + factor * t / s, decay);
      let ns;
      if (g === 1) {
        const f = w[11] * Math.pow(d, -w[12]) * (Math.pow(s + 1, w[13]) - 1)
          * Math.exp((1 - r) * w[14]);
        ns = Math.min(f, s / Math.exp(w[17] * w[18]));
      } else {
        const hard = g === 2 ? w[15] : 1;
        const easy = g === 4 ? w[16] : 1;
        ns = s * (1 + Math.exp(w[8]) * (11 - d) * Math.pow(s, -w[9])
          * (Math.exp((1 - r) * w[10]) - 1) * hard * easy);
      }
      const next = d + (-w[6] * (g - 3)) * (10 - d) / 9;
      return { s: clampS(ns), d: clampD(w[7] * initD(4) + (1 - w[7]) * next) };
    },
  };
}

// One simulated year: three new words a day for 200 days, each reviewed when
// the learner's own memory would be at 90% (give or take: the learner does not
// always come on the due day), passing with the learner's true recall.
function simulate() {
  const rand = random(20250106);
  const truth = model(TRUE_WEIGHTS);
  const pick = (probabilities) => {
    let u = rand();
    for (let i = 0; i < probabilities.length; ++i) {
      if (u < probabilities[i]) return i + 1;
      u -= probabilities[i];
    }
    return probabilities.length;
  };
  const cards = [];
  for (let day = 0; day < 200; ++day)
    for (let k = 0; k < 3; ++k) cards.push({ start: day, reviews: [] });
  const dueCards = new Map();
  const schedule = (card, state, day) => {
    const jitter = 0.5 + rand() * 1.2;
    const days = Math.max(1, Math.round(truth.interval(state.s, 0.9) * jitter));
    const due = day + days;
    if (due >= 365) return;
    if (!dueCards.has(due)) dueCards.set(due, []);
    dueCards.get(due).push({ card, state, lastDay: day });
  };
  const at = (day) => START + day * DAY + Math.floor(rand() * DAY);
  for (let day = 0; day < 365; ++day) {
    for (const { card, state, lastDay } of dueCards.get(day) ?? []) {
      const recalled = rand() < truth.recall(day - lastDay, state.s);
      const rating = recalled ? 1 + pick([0.15, 0.7, 0.15]) : 1;
      card.reviews.push([at(day), rating]);
      schedule(card, truth.next(state, day - lastDay, rating), day);
    }
    for (const card of cards.filter((c) => c.start === day)) {
      const rating = pick([0.2, 0.15, 0.5, 0.15]);
      card.reviews.push([at(day), rating]);
      schedule(card, truth.first(rating), day);
    }
  }
  // Reviews within one day are listed in time order, as the log keeps them.
  for (const card of cards) card.reviews.sort((a, b) => a[0] - b[0]);
  return cards;
}

// The optimizer's items: one per review after the first, with the card's
// reviews so far, in the time order of their last review (the optimizer
// weighs recent items more); elapsed days are whole UTC calendar days.
function items(cards) {
  const out = [];
  cards.forEach(({ reviews }, card) => {
    const history = [];
    let lastDay = null;
    for (const [ms, rating] of reviews) {
      const day = Math.floor(ms / DAY);
      history.push(new FSRSBindingReview(rating, lastDay === null ? 0 : day - lastDay));
      lastDay = day;
      if (history.length > 1) out.push({ ms, card, item: new FSRSBindingItem([...history]) });
    }
  });
  out.sort((a, b) => a.ms - b.ms || a.card - b.card);
  return out.map((x) => x.item);
}

const cards = simulate();
const trainSet = items(cards);
const evaluate = (w) => {
  const e = new FSRSBinding(w).evaluate(trainSet);
  return { logLoss: e.logLoss, rmseBins: e.rmseBins };
};
const fitted = await computeParameters(trainSet, { enableShortTerm: false });
const evaluation = {
  defaults: evaluate(DEFAULTS),
  truth: evaluate(TRUE_WEIGHTS),
  fitted: evaluate(fitted),
};
const worse = evaluation.defaults.logLoss / evaluation.truth.logLoss - 1;
console.error(`reviews ${cards.reduce((n, c) => n + c.reviews.length, 0)}, items ${trainSet.length}`);
console.error(`log loss: defaults ${evaluation.defaults.logLoss.toFixed(5)}, true weights `
  + `${evaluation.truth.logLoss.toFixed(5)} (defaults ${(100 * worse).toFixed(1)} % worse), `
  + `fitted ${evaluation.fitted.logLoss.toFixed(5)}`);
if (worse < 0.03) {
  console.error('the defaults are less than 3 % worse than the true weights');
  process.exit(1);
}
process.stdout.write(JSON.stringify({
  note: 'Made by tools/fsrs-optimizer-reference/make-reference.mjs; do not edit.',
  defaultWeights: DEFAULTS,
  trueWeights: TRUE_WEIGHTS,
  fittedWeights: fitted,
  evaluation,
  cards: cards.map((c) => c.reviews),
}, null, 1) + '\n');
