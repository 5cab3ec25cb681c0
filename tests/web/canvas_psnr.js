// The luma PSNR in dB of the page's canvas against a picture of the same size ('inf' when they
// are equal), or a sentence saying why they cannot be compared. Evaluated in the page by every
// engine's tests as (source)(pictureUrl); (source)(pictureUrl, canvasUrl) compares a picture
// the canvas gave earlier (its data URL) instead of the canvas as it is now.
(pictureUrl, canvasUrl) => new Promise(done => {
    const load = url => new Promise((resolve, reject) => {
        const picture = new Image();
        picture.onload = () => resolve(picture);
        picture.onerror = reject;
        picture.src = url;
    });
    const shown = canvasUrl ? load(canvasUrl) : Promise.resolve(document.getElementById('canvas'));
    Promise.all([shown, load(pictureUrl)]).then(([canvas, picture]) => {
        if (picture.width !== canvas.width || picture.height !== canvas.height)
            return done('sizes differ: the picture is ' + picture.width + 'x' + picture.height +
                        ', the canvas ' + canvas.width + 'x' + canvas.height);
        const pixels = source => {
            const copy = document.createElement('canvas');
            copy.width = canvas.width;
            copy.height = canvas.height;
            const context = copy.getContext('2d');
            context.drawImage(source, 0, 0);
            return context.getImageData(0, 0, copy.width, copy.height).data;
        };
        const a = pixels(canvas), b = pixels(picture);
        let sum = 0;
        for (let i = 0; i < a.length; i += 4) {
            const d = 0.299 * (a[i] - b[i]) + 0.587 * (a[i + 1] - b[i + 1]) + 0.114 * (a[i + 2] - b[i + 2]);
            sum += d * d;
        }
        const mse = sum / (a.length / 4);
        done(mse === 0 ? 'inf' : 10 * Math.log10(255 * 255 / mse));
    }, () => done('the picture did not decode'));
})
