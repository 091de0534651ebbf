// Writes fsrs-reference.csv: the memory state and interval after each review of fixed rating
// sequences, as computed by the ts-fsrs package (version 4.7.1, the last with 19 weights), long-term
// scheduler, no fuzz, retention 0.9. The review schedule tests replay the same sequences.
//
//   mkdir -p /tmp/fsrs && (cd /tmp/fsrs && npm install ts-fsrs@4.7.1)
//   NODE_PATH=/tmp/fsrs/node_modules node tests/progress/data/make-fsrs-reference.cjs \
//       > tests/progress/data/fsrs-reference.csv
'use strict';
const { fsrs, createEmptyCard, Rating, FSRSVersion } = require('ts-fsrs');

const scheduler = fsrs({ enable_fuzz: false, enable_short_term: false });
const DAY = 24 * 60 * 60 * 1000;
const START = Date.UTC(2024, 0, 1, 12, 0, 0);

// Each review is [rating, delay]: delay is the days after the due day (negative: early, 'same':
// the day of the last review).
const sequences = [];
function add(name, reviews) { sequences.push({ name, reviews }); }

for (const r of [1, 2, 3, 4]) add(`first-${r}`, [[r, 0]]);
add('good-x12', Array(12).fill([3, 0]));
add('hard-x10', Array(10).fill([2, 0]));
add('again-x8', Array(8).fill([1, 0]));
add('easy-x6', Array(6).fill([4, 0]));
add('good-then-again', [[3, 0], [3, 0], [3, 0], [3, 0], [1, 0], [3, 0], [3, 0], [3, 0]]);
add('again-then-good', [[1, 0], [1, 0], [3, 0], [3, 0], [3, 0], [3, 0], [3, 0]]);
add('hard-good-alternate', [[2, 0], [3, 0], [2, 0], [3, 0], [2, 0], [3, 0], [2, 0], [3, 0]]);
add('same-day-repeats', [[3, 0], [3, 'same'], [1, 'same'], [3, 0], [2, 'same'], [3, 0]]);
add('late-reviews', [[3, 0], [3, 10], [3, 40], [1, 100], [3, 5], [3, 365]]);
add('early-reviews', [[3, 0], [3, 0], [3, -2], [3, -5], [2, -1], [3, 0]]);
add('long-success-run', Array(25).fill([3, 0]));
add('lapse-after-long-run', [...Array(8).fill([3, 0]), [1, 0], [1, 0], [2, 0], [3, 0], [3, 0]]);

// Mixed sequences from a fixed linear congruential generator, so that the file is reproducible.
let seed = 20241207;
function next(n) { seed = (seed * 1103515245 + 12345) % 2147483648; return seed % n; }
for (let i = 0; i < 30; i++) {
  const reviews = [];
  const length = 4 + next(12);
  for (let j = 0; j < length; j++) {
    const roll = next(20);
    const rating = roll < 4 ? 1 : roll < 8 ? 2 : roll < 19 ? 3 : 4;
    const kind = next(10);
    const delay = kind < 6 ? 0 : kind < 8 ? next(30) : kind < 9 ? -next(3) : 'same';
    reviews.push([rating, delay]);
  }
  add(`mixed-${String(i + 1).padStart(2, '0')}`, reviews);
}

console.log(`# ${FSRSVersion}; enable_fuzz=false enable_short_term=false request_retention=0.9`);
console.log('sequence,step,day,rating,stability,difficulty,interval,due');
for (const { name, reviews } of sequences) {
  let card = createEmptyCard(new Date(START));
  let lastDay = 0;
  let dueDay = 0;
  reviews.forEach(([rating, delay], step) => {
    let day;
    if (step === 0) day = 0;
    else if (delay === 'same') day = lastDay;
    else day = Math.max(lastDay, dueDay + delay);
    const when = new Date(START + day * DAY);
    card = scheduler.next(card, when, rating).card;
    lastDay = day;
    dueDay = Math.round((card.due.getTime() - START) / DAY);
    console.log([name, step + 1, day, rating, card.stability, card.difficulty,
                 card.scheduled_days, dueDay].join(','));
  });
}
